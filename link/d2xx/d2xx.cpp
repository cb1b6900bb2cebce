#include "link/d2xx/d2xx.h"

#include "link/d2xx/libftdi_driver.h"

namespace {

BoardDriver* installed = nullptr;

BoardDriver& driver()
{
    if (!installed)
        installed = &libftdi_driver();
    return *installed;
}

}  // namespace

BoardDriver* install_board_driver(BoardDriver* d)
{
    BoardDriver* previous = &driver();
    installed = d ? d : &libftdi_driver();
    return previous;
}

FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevs)
{
    if (!numDevs)
        return FT_INVALID_PARAMETER;
    return driver().create_device_info_list(numDevs);
}

FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* handle)
{
    if (!handle || deviceNumber < 0)
        return FT_INVALID_PARAMETER;
    return driver().open(deviceNumber, handle);
}

FT_STATUS FT_SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode)
{
    return driver().set_bit_mode(handle, mask, mode);
}

FT_STATUS FT_SetBaudRate(FT_HANDLE handle, DWORD baudRate)
{
    return driver().set_baud_rate(handle, baudRate);
}

FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten)
{
    if (!bytesWritten || (!buffer && bytesToWrite > 0))
        return FT_INVALID_PARAMETER;
    *bytesWritten = 0;
    return driver().write(handle, static_cast<const UCHAR*>(buffer), bytesToWrite, bytesWritten);
}

OpenFailure board_open_failure()
{
    return driver().last_open_failure();
}

FT_STATUS FT_Close(FT_HANDLE handle)
{
    return driver().close(handle);
}
