#include "zrctl/board_status.h"

#include "zrctl/failure.h"

#include "d2xx/d2xx.h"

DWORD count_devices()
{
    DWORD count = 0;
    const FT_STATUS counted = FT_CreateDeviceInfoList(&count);
    if (counted != FT_OK)
        throw Failure(ExitStatus::NoBoard, "the FTDI devices cannot be counted: " + status_text(counted));
    if (count == 0)
        throw Failure(ExitStatus::NoBoard, "no FTDI device found");
    return count;
}
