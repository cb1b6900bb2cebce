#include "link/d2xx/libftdi_driver.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <memory>
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

struct OpenBoard {
    ftdi_context* context = nullptr;
    bool bitbang_on = false;
};

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

    FT_STATUS open(int index, FT_HANDLE* handle) override
    {
        ftdi_context* context = ftdi_new();
        if (!context)
            return FT_INSUFFICIENT_RESOURCES;
        FT_STATUS status = FT_DEVICE_NOT_FOUND;
        open_failure_ = {};
        {
            DeviceList devices(context);
            if (!devices.ok())
                status = FT_OTHER_ERROR;
            // D2XX numbers every port: find the chip and the port of this index.
            int remaining = index;
            for (ftdi_device_list* d = devices.ok() ? devices.first() : nullptr; d; d = d->next) {
                const int ports = ports_of(d->dev);
                if (remaining >= ports) {
                    remaining -= ports;
                    continue;
                }
                const auto port = static_cast<ftdi_interface>(INTERFACE_A + remaining);
                int code = ftdi_set_interface(context, port);
                if (code >= 0)
                    code = ftdi_usb_open_dev(context, d->dev);
                if (code < 0) {
                    // Busy (claimed elsewhere), no permission, or any other failure.
                    status = FT_DEVICE_NOT_OPENED;
                    const char* text = ftdi_get_error_string(context);
                    open_failure_ = {kind_of_open_failure(code), text ? text : ""};
                } else {
                    status = FT_OK;
                }
                break;
            }
        }
        if (status != FT_OK) {
            ftdi_free(context);
            return status;
        }
        auto board = std::make_unique<OpenBoard>();
        board->context = context;
        *handle = board.get();
        open_.push_back(std::move(board));
        return FT_OK;
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
