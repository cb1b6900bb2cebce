#include "d2xx/simulated_board.h"

#include <algorithm>
#include <cstdio>

void SimulatedBoard::note(std::string call)
{
    if (record)
        calls.push_back(std::move(call));
}

bool SimulatedBoard::among(const std::vector<std::string>& serials, const std::string& serial)
{
    return std::find(serials.begin(), serials.end(), serial) != serials.end();
}

void SimulatedBoard::fill_details()
{
    for (DWORD index = static_cast<DWORD>(details.size()); index < device_count; ++index)
        details.push_back(detail_of(static_cast<int>(index)));
}

void SimulatedBoard::unplug(const std::string& serial_number)
{
    fill_details();
    const auto it = std::find_if(details.begin(), details.end(),
                                 [&](const DeviceDetail& d) { return d.serial_number == serial_number; });
    if (it == details.end() || static_cast<DWORD>(it - details.begin()) >= device_count)
        return;
    details.erase(it);
    --device_count;
    if (open_ && open_serial_ == serial_number)
        unplugged_ = true;
}

void SimulatedBoard::plug_in(const DeviceDetail& detail)
{
    fill_details();
    details.resize(device_count);
    details.push_back(detail);
    ++device_count;
}

FT_STATUS SimulatedBoard::create_device_info_list(DWORD* count)
{
    note("FT_CreateDeviceInfoList");
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
    note("FT_GetDeviceInfoDetail(" + std::to_string(index) + ")");
    if (detail_status != FT_OK)
        return detail_status;
    if (index < 0 || static_cast<DWORD>(index) >= device_count)
        return FT_DEVICE_NOT_FOUND;
    *detail = detail_of(index);
    return FT_OK;
}

FT_STATUS SimulatedBoard::open(int index, FT_HANDLE* handle)
{
    note("FT_Open(" + std::to_string(index) + ")");
    return open_index(index, handle);
}

FT_STATUS SimulatedBoard::open_by_serial_number(const std::string& serial_number, FT_HANDLE* handle)
{
    note("FT_OpenEx(" + serial_number + ")");
    for (DWORD index = 0; index < device_count; ++index)
        if (detail_of(static_cast<int>(index)).serial_number == serial_number)
            return open_index(static_cast<int>(index), handle);
    last_failure_ = open_status != FT_OK ? open_failure : OpenFailure{};
    return open_status != FT_OK ? open_status : FT_DEVICE_NOT_FOUND;
}

FT_STATUS SimulatedBoard::open_index(int index, FT_HANDLE* handle)
{
    last_failure_ = {};
    if (open_status != FT_OK) {
        last_failure_ = open_failure;
        return open_status;
    }
    if (static_cast<DWORD>(index) >= device_count)
        return FT_DEVICE_NOT_FOUND;
    const std::string serial = detail_of(index).serial_number;
    if (among(busy, serial)) {
        last_failure_ = {OpenFailure::Busy, "unable to claim usb device"};
        return FT_DEVICE_NOT_OPENED;
    }
    if (among(no_permission, serial)) {
        last_failure_ = {OpenFailure::Permission, "usb_open() failed"};
        return FT_DEVICE_NOT_OPENED;
    }
    if (open_)
        return FT_DEVICE_NOT_OPENED;
    open_ = true;
    unplugged_ = false;
    open_serial_ = serial;
    *handle = &token_;
    return FT_OK;
}

FT_STATUS SimulatedBoard::set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode)
{
    char call[48];
    std::snprintf(call, sizeof call, "FT_SetBitMode(0x%02X, %u)", mask, mode);
    note(call);
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    if (unplugged_)
        return FT_IO_ERROR;
    if (bit_mode_status != FT_OK)
        return bit_mode_status;
    mask_ = mask;
    mode_ = mode;
    return FT_OK;
}

FT_STATUS SimulatedBoard::set_baud_rate(FT_HANDLE handle, DWORD rate)
{
    note("FT_SetBaudRate(" + std::to_string(rate) + ")");
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    if (unplugged_)
        return FT_IO_ERROR;
    if (baud_rate_status != FT_OK)
        return baud_rate_status;
    baud_ = rate;
    return FT_OK;
}

FT_STATUS SimulatedBoard::write(FT_HANDLE handle, const UCHAR* buffer, DWORD size, DWORD* written)
{
    if (before_write)
        before_write();
    note("FT_Write(" + std::to_string(size) + ")");
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    if (unplugged_)
        return FT_IO_ERROR;
    if (record) {
        bursts.emplace_back(buffer, buffer + size);
        bursts_by_serial[open_serial_].emplace_back(buffer, buffer + size);
    }
    if (write_status != FT_OK)
        return write_status;
    const DWORD n = size < write_limit ? size : write_limit;
    if (n > 0)
        lines_ = buffer[n - 1];
    *written = n;
    return FT_OK;
}

FT_STATUS SimulatedBoard::modem_status(FT_HANDLE handle, DWORD* status)
{
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    if (unplugged_)
        return FT_IO_ERROR;
    *status = 0;
    return FT_OK;
}

DeviceUse SimulatedBoard::device_use(int index)
{
    if (index < 0 || static_cast<DWORD>(index) >= device_count)
        return {DeviceUse::Unknown, "no such device"};
    const std::string serial = detail_of(index).serial_number;
    if (open_ && !unplugged_ && open_serial_ == serial)
        return {DeviceUse::OpenHere, ""};
    if (among(busy, serial))
        return {DeviceUse::Busy, ""};
    if (among(no_permission, serial))
        return {DeviceUse::NoPermission, ""};
    return {DeviceUse::Free, ""};
}

FT_STATUS SimulatedBoard::close(FT_HANDLE handle)
{
    note("FT_Close");
    if (!owns(handle))
        return FT_INVALID_HANDLE;
    open_ = false;
    unplugged_ = false;
    open_serial_.clear();
    return FT_OK;
}

void make_board_to_try(SimulatedBoard& board)
{
    board.device_count = 1;
    board.details = {{kSimulatedSerialNumber, "Simulated board", 'A'}};
}
