#include "d2xx/d2xx.h"

#include "d2xx/libftdi_driver.h"

#include <cstdio>

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

FT_STATUS FT_GetDeviceInfoDetail(DWORD index, char* serialNumber, char* description, char* port)
{
    if (!serialNumber || !description || !port || index > 0x7FFFFFFF)
        return FT_INVALID_PARAMETER;
    DeviceDetail detail;
    const FT_STATUS status = driver().get_device_info_detail(static_cast<int>(index), &detail);
    if (status != FT_OK)
        return status;
    std::snprintf(serialNumber, FT_SERIAL_NUMBER_SIZE, "%s", detail.serial_number.c_str());
    std::snprintf(description, FT_DESCRIPTION_SIZE, "%s", detail.description.c_str());
    *port = detail.port;
    return FT_OK;
}

FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* handle)
{
    if (!handle || deviceNumber < 0)
        return FT_INVALID_PARAMETER;
    return driver().open(deviceNumber, handle);
}

FT_STATUS FT_OpenEx(const char* serialNumber, DWORD flags, FT_HANDLE* handle)
{
    if (!serialNumber || !handle || flags != FT_OPEN_BY_SERIAL_NUMBER)
        return FT_INVALID_PARAMETER;
    return driver().open_by_serial_number(serialNumber, handle);
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

FT_STATUS FT_GetModemStatus(FT_HANDLE handle, DWORD* modemStatus)
{
    if (!modemStatus)
        return FT_INVALID_PARAMETER;
    return driver().modem_status(handle, modemStatus);
}

DeviceUse device_use(DWORD index)
{
    if (index > 0x7FFFFFFF)
        return {DeviceUse::Unknown, "no such device"};
    return driver().device_use(static_cast<int>(index));
}

OpenFailure board_open_failure()
{
    return driver().last_open_failure();
}

FT_STATUS FT_Close(FT_HANDLE handle)
{
    return driver().close(handle);
}

bool write_sent_nothing(FT_STATUS status)
{
    return status == FT_INVALID_HANDLE || status == FT_DEVICE_NOT_OPENED || status == FT_INVALID_PARAMETER;
}
