#include "d2xx/libftdi_driver.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

int libftdi_baud_rate(DWORD d2xx_rate, bool bitbang_on)
{
    const DWORD rate = bitbang_on ? d2xx_rate / 4 : d2xx_rate;
    return static_cast<int>(std::min<DWORD>(rate, 0x7FFFFFFF));
}

namespace {

// The ports of one chip: a dual-port chip has two USB interfaces, a quad-port chip four.
int ports_of(libusb_device* device)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_config_descriptor(device, 0, &config) != 0 || !config)
        return 1;
    const int ports = std::max<int>(1, config->bNumInterfaces);
    libusb_free_config_descriptor(config);
    return ports;
}

// The FTDI devices on the bus, as libftdi lists them; freed with the object.
class DeviceList {
public:
    explicit DeviceList(ftdi_context* context) { count_ = ftdi_usb_find_all(context, &list_, 0, 0); }
    ~DeviceList() { ftdi_list_free(&list_); }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    bool ok() const { return count_ >= 0; }
    ftdi_device_list* first() const { return list_; }

private:
    ftdi_device_list* list_ = nullptr;
    int count_ = -1;
};

// A D2XX device: one port of one chip.
struct ChipPort {
    libusb_device* device = nullptr;
    int port = 0;   // 0 is port A
    int ports = 1;  // of the chip
};

// D2XX numbers every port: the chip and the port of a device index.
bool find_port(const DeviceList& devices, int index, ChipPort* found)
{
    int remaining = index;
    for (ftdi_device_list* d = devices.first(); d; d = d->next) {
        const int ports = ports_of(d->dev);
        if (remaining < ports) {
            *found = {d->dev, remaining, ports};
            return true;
        }
        remaining -= ports;
    }
    return false;
}

// libftdi's reasons for a failed ftdi_usb_open_dev, by what the operator can do.
OpenFailure::Kind kind_of_open_failure(int code)
{
    switch (code) {
    case -4: return OpenFailure::Permission;  // unable to open the device: no write access to it
    case -5:                                   // unable to claim the interface
    case -11: return OpenFailure::Busy;        // the kernel driver could not be detached
    }
    return OpenFailure::Other;
}

// Opens one port of a chip; on failure *failure says libftdi's reason.
FT_STATUS open_port(ftdi_context* context, const ChipPort& p, OpenFailure* failure)
{
    constexpr int kLargestPortCount = 4;  // INTERFACE_A to INTERFACE_D
    if (p.port >= kLargestPortCount) {
        *failure = {OpenFailure::Other, "no such port"};
        return FT_DEVICE_NOT_OPENED;
    }
    const auto port = static_cast<ftdi_interface>(INTERFACE_A + p.port);
    int code = ftdi_set_interface(context, port);
    if (code >= 0)
        code = ftdi_usb_open_dev(context, p.device);
    if (code < 0) {
        // Busy (claimed elsewhere), no permission, or any other failure.
        const char* text = ftdi_get_error_string(context);
        *failure = {kind_of_open_failure(code), text ? text : ""};
        return FT_DEVICE_NOT_OPENED;
    }
    return FT_OK;
}

// A chip's description and serial number from its string descriptors; a chip
// without a serial number has an empty one. FT_DEVICE_NOT_OPENED when the chip
// cannot be opened to read them (no permission, most often), FT_OTHER_ERROR when
// it has no description, as D2XX answers for a chip without strings.
FT_STATUS chip_strings(ftdi_context* context, libusb_device* device, std::string* description, std::string* serial)
{
    // ftdi_usb_get_strings' answers.
    constexpr int kCannotOpen = -4;
    constexpr int kNoSerialNumber = -9;
    char desc[128] = "";
    char sn[128] = "";
    int result = ftdi_usb_get_strings(context, device, nullptr, 0, desc, sizeof desc, sn, sizeof sn);
    if (result == kNoSerialNumber) {
        sn[0] = '\0';
        result = ftdi_usb_get_strings(context, device, nullptr, 0, desc, sizeof desc, nullptr, 0);
    }
    if (result == kCannotOpen)
        return FT_DEVICE_NOT_OPENED;
    if (result < 0)
        return FT_OTHER_ERROR;
    *description = desc;
    *serial = sn;
    return FT_OK;
}

// As D2XX names a port: a multi-port chip's port letter follows its serial
// number and, after a blank, its description.
DeviceDetail detail_of(const std::string& description, const std::string& serial, const ChipPort& p)
{
    DeviceDetail d;
    d.port = static_cast<char>('A' + p.port);
    d.serial_number = serial;
    d.description = description;
    if (p.ports > 1) {
        d.serial_number += d.port;
        d.description += ' ';
        d.description += d.port;
    }
    return d;
}

// Where a port sits on the bus, to know it again in a later list.
struct BusPlace {
    int bus = 0, address = 0, port = 0;
    bool operator==(const BusPlace&) const = default;
};

BusPlace place_of(const ChipPort& p)
{
    return {libusb_get_bus_number(p.device), libusb_get_device_address(p.device), p.port};
}

// Whether a port nobody here holds could be opened, found without detaching the
// serial driver or taking the interface from anyone: claimed and let go at once.
DeviceUse probe(const ChipPort& p)
{
    libusb_device_handle* usb = nullptr;
    const int opened = libusb_open(p.device, &usb);
    if (opened == LIBUSB_ERROR_ACCESS)
        return {DeviceUse::NoPermission, ""};
    if (opened != 0 || !usb)
        return {DeviceUse::Unknown, "the USB device cannot be opened"};
    DeviceUse use{DeviceUse::Free, ""};
    if (libusb_kernel_driver_active(usb, p.port) == 1) {
        use = {DeviceUse::SerialDriver, ""};
    } else {
        const int claimed = libusb_claim_interface(usb, p.port);
        if (claimed == 0)
            libusb_release_interface(usb, p.port);
        else if (claimed == LIBUSB_ERROR_BUSY)
            use = {DeviceUse::Busy, ""};
        else
            use = {DeviceUse::Unknown, "its interface cannot be claimed"};
    }
    libusb_close(usb);
    return use;
}

struct OpenBoard {
    ftdi_context* context = nullptr;
    bool bitbang_on = false;
    BusPlace place;
};

class LibFtdiDriver final : public BoardDriver {
public:
    OpenFailure last_open_failure() const override { return open_failure_; }

    FT_STATUS create_device_info_list(DWORD* count) override
    {
        ftdi_context* context = ftdi_new();
        if (!context)
            return FT_INSUFFICIENT_RESOURCES;
        FT_STATUS status = FT_OK;
        {
            DeviceList devices(context);
            if (!devices.ok()) {
                status = FT_OTHER_ERROR;
            } else {
                DWORD ports = 0;
                for (ftdi_device_list* d = devices.first(); d; d = d->next)
                    ports += static_cast<DWORD>(ports_of(d->dev));
                *count = ports;
            }
        }
        ftdi_free(context);
        return status;
    }

    FT_STATUS get_device_info_detail(int index, DeviceDetail* detail) override
    {
        ftdi_context* context = ftdi_new();
        if (!context)
            return FT_INSUFFICIENT_RESOURCES;
        FT_STATUS status = FT_OK;
        {
            DeviceList devices(context);
            ChipPort found;
            std::string description, serial;
            if (!devices.ok())
                status = FT_OTHER_ERROR;
            else if (!find_port(devices, index, &found))
                status = FT_DEVICE_NOT_FOUND;
            else
                status = chip_strings(context, found.device, &description, &serial);
            if (status == FT_OK)
                *detail = detail_of(description, serial, found);
        }
        ftdi_free(context);
        return status;
    }

    FT_STATUS open(int index, FT_HANDLE* handle) override
    {
        ftdi_context* context = ftdi_new();
        if (!context)
            return FT_INSUFFICIENT_RESOURCES;
        FT_STATUS status = FT_OK;
        open_failure_ = {};
        BusPlace place;
        {
            DeviceList devices(context);
            ChipPort found;
            if (!devices.ok())
                status = FT_OTHER_ERROR;
            else if (!find_port(devices, index, &found))
                status = FT_DEVICE_NOT_FOUND;
            else
                status = open_port(context, found, &open_failure_);
            if (status == FT_OK)
                place = place_of(found);
        }
        return keep_open(context, status, place, handle);
    }

    FT_STATUS open_by_serial_number(const std::string& serial_number, FT_HANDLE* handle) override
    {
        ftdi_context* context = ftdi_new();
        if (!context)
            return FT_INSUFFICIENT_RESOURCES;
        FT_STATUS status = FT_DEVICE_NOT_FOUND;
        open_failure_ = {};
        BusPlace place;
        {
            DeviceList devices(context);
            if (!devices.ok())
                status = FT_OTHER_ERROR;
            bool searching = devices.ok();
            for (ftdi_device_list* d = devices.ok() ? devices.first() : nullptr; d && searching; d = d->next) {
                std::string description, serial;
                const FT_STATUS read = chip_strings(context, d->dev, &description, &serial);
                if (read != FT_OK) {
                    // If no other chip has that serial number, this one may: say
                    // that a chip could not be opened rather than that none was found.
                    if (read == FT_DEVICE_NOT_OPENED)
                        status = FT_DEVICE_NOT_OPENED;
                    continue;
                }
                const int ports = ports_of(d->dev);
                for (int port = 0; port < ports && searching; ++port) {
                    const ChipPort candidate{d->dev, port, ports};
                    if (detail_of(description, serial, candidate).serial_number == serial_number) {
                        status = open_port(context, candidate, &open_failure_);
                        if (status == FT_OK)
                            place = place_of(candidate);
                        searching = false;
                    }
                }
            }
        }
        return keep_open(context, status, place, handle);
    }

    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override
    {
        OpenBoard* board = find(handle);
        if (!board)
            return FT_INVALID_HANDLE;
        if (ftdi_set_bitmode(board->context, mask, mode) < 0)
            return FT_IO_ERROR;
        board->bitbang_on = mode != FT_BITMODE_RESET;
        return FT_OK;
    }

    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD rate) override
    {
        OpenBoard* board = find(handle);
        if (!board)
            return FT_INVALID_HANDLE;
        const int result = ftdi_set_baudrate(board->context, libftdi_baud_rate(rate, board->bitbang_on));
        if (result == -1)
            return FT_INVALID_BAUD_RATE;
        return result < 0 ? FT_IO_ERROR : FT_OK;
    }

    FT_STATUS write(FT_HANDLE handle, const UCHAR* buffer, DWORD size, DWORD* written) override
    {
        OpenBoard* board = find(handle);
        if (!board)
            return FT_INVALID_HANDLE;
        if (size > 0x7FFFFFFF)
            return FT_INVALID_PARAMETER;
        const int result = ftdi_write_data(board->context, buffer, static_cast<int>(size));
        if (result < 0)
            return FT_IO_ERROR;
        *written = static_cast<DWORD>(result);
        return FT_OK;
    }

    FT_STATUS modem_status(FT_HANDLE handle, DWORD* status) override
    {
        OpenBoard* board = find(handle);
        if (!board)
            return FT_INVALID_HANDLE;
        unsigned short lines = 0;
        if (ftdi_poll_modem_status(board->context, &lines) < 0)
            return FT_IO_ERROR;
        *status = lines;
        return FT_OK;
    }

    DeviceUse device_use(int index) override
    {
        ftdi_context* context = ftdi_new();
        if (!context)
            return {DeviceUse::Unknown, "no memory"};
        DeviceUse use;
        {
            DeviceList devices(context);
            ChipPort found;
            if (!devices.ok())
                use = {DeviceUse::Unknown, "the USB bus cannot be listed"};
            else if (!find_port(devices, index, &found))
                use = {DeviceUse::Unknown, "no such device"};
            else if (std::any_of(open_.begin(), open_.end(),
                                 [&](const auto& b) { return b->place == place_of(found); }))
                use = {DeviceUse::OpenHere, ""};
            else
                use = probe(found);
        }
        ftdi_free(context);
        return use;
    }

    FT_STATUS close(FT_HANDLE handle) override
    {
        auto it = std::find_if(open_.begin(), open_.end(), [handle](const auto& b) { return b.get() == handle; });
        if (it == open_.end())
            return FT_INVALID_HANDLE;
        ftdi_usb_close((*it)->context);
        ftdi_free((*it)->context);
        open_.erase(it);
        return FT_OK;
    }

private:
    // An opened context becomes a handle; a failed one is freed.
    FT_STATUS keep_open(ftdi_context* context, FT_STATUS status, const BusPlace& place, FT_HANDLE* handle)
    {
        if (status != FT_OK) {
            ftdi_free(context);
            return status;
        }
        auto board = std::make_unique<OpenBoard>();
        board->context = context;
        board->place = place;
        *handle = board.get();
        open_.push_back(std::move(board));
        return FT_OK;
    }

    // Only handles this driver opened reach libftdi.
    OpenBoard* find(FT_HANDLE handle)
    {
        for (const auto& b : open_)
            if (b.get() == handle)
                return b.get();
        return nullptr;
    }

    std::vector<std::unique_ptr<OpenBoard>> open_;
    OpenFailure open_failure_;
};

}  // namespace

BoardDriver& libftdi_driver()
{
    static LibFtdiDriver driver;
    return driver;
}
