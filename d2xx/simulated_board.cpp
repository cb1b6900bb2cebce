#include "d2xx/simulated_board.h"

#include <cstdio>

FT_STATUS SimulatedBoard::create_device_info_list(DWORD* count)
{
    calls.emplace_back("FT_CreateDeviceInfoList");
    if (count_status != FT_OK)
        return count_status;
    *count = device_count;
    return FT_OK;
}

DeviceDetail SimulatedBoard::detail_of(int index) const
{
    if (index >= 0 && static_cast<std::size_t>(index) < details.size())
        return details[static_cast<std::size_t>(index)];
    return {"SIM" + std::to_string(index), "Simulated board", 'A'};
}

FT_STATUS SimulatedBoard::get_device_info_detail(int index, DeviceDetail* detail)
{
    calls.push_back("FT_GetDeviceInfoDetail(" + std::to_string(index) + ")");
    if (detail_status != FT_OK)
        return detail_status;
    if (index < 0 || static_cast<DWORD>(index) >= device_count)
        return FT_DEVICE_NOT_FOUND;
    *detail = detail_of(index);
    return FT_OK;
}

FT_STATUS SimulatedBoard::open(int index, FT_HANDLE* handle)
{
    calls.push_back("FT_Open(" + std::to_string(index) + ")");
    return open_index(index, handle);
}

FT_STATUS SimulatedBoard::open_by_serial_number(const std::string& serial_number, FT_HANDLE* handle)
{
    calls.push_back("FT_OpenEx(" + serial_number + ")");
    for (DWORD index = 0; index < device_count; ++index)
        if (detail_of(static_cast<int>(index)).serial_number == serial_number)
            return open_index(static_cast<int>(index), handle);
    return open_status != FT_OK ? open_status : FT_DEVICE_NOT_FOUND;
}

FT_STATUS SimulatedBoard::open_index(int index, FT_HANDLE* handle)
{
    if (open_status != FT_OK)
        return open_status;
    if (static_cast<DWORD>(index) >= device_count)
        return FT_DEVICE_NOT_FOUND;
    if (open_)
        return FT_DEVICE_NOT_OPENED;
    open_ = true;
    *handle = &token_;
    return FT_OK;
}

FT_STATUS SimulatedBoard::set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode)
{
    char call[48];
    std::snprintf(call, sizeof call, "FT_SetBitMode(0x%02X, %u)", mask, mode);
    calls.emplace_back(call);
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    if (bit_mode_status != FT_OK)
        return bit_mode_status;
    mask_ = mask;
    mode_ = mode;
    return FT_OK;
}

FT_STATUS SimulatedBoard::set_baud_rate(FT_HANDLE handle, DWORD rate)
{
    calls.push_back("FT_SetBaudRate(" + std::to_string(rate) + ")");
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    if (baud_rate_status != FT_OK)
        return baud_rate_status;
    baud_ = rate;
    return FT_OK;
}

FT_STATUS SimulatedBoard::write(FT_HANDLE handle, const UCHAR* buffer, DWORD size, DWORD* written)
{
    if (before_write)
        before_write();
    calls.push_back("FT_Write(" + std::to_string(size) + ")");
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    bursts.emplace_back(buffer, buffer + size);
    if (write_status != FT_OK)
        return write_status;
    const DWORD n = size < write_limit ? size : write_limit;
    if (n > 0)
        lines_ = buffer[n - 1];
    *written = n;
    return FT_OK;
}

FT_STATUS SimulatedBoard::close(FT_HANDLE handle)
{
    calls.emplace_back("FT_Close");
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    open_ = false;
    return FT_OK;
}
