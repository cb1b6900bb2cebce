#include "d2xx/fake_libftdi.h"

#include <ftdi.h>
#include <libusb.h>

#include <cstdint>
#include <cstdio>

FakeLibftdi fake_libftdi;

namespace {

// A chip's place on the bus stands in for its libusb device.
libusb_device* device_of(std::size_t chip)
{
    return reinterpret_cast<libusb_device*>(static_cast<uintptr_t>(chip + 1));
}

std::size_t chip_of(libusb_device* device)
{
    return static_cast<std::size_t>(reinterpret_cast<uintptr_t>(device)) - 1;
}

void record(const char* format, int value)
{
    char line[64];
    std::snprintf(line, sizeof line, format, value);
    fake_libftdi.calls.emplace_back(line);
}

}  // namespace

extern "C" {

ftdi_context* ftdi_new(void)
{
    if (fake_libftdi.context_fails)
        return nullptr;
    ++fake_libftdi.contexts_alive;
    auto* context = new ftdi_context{};
    context->error_str = "all fine";
    return context;
}

void ftdi_free(ftdi_context* ftdi)
{
    --fake_libftdi.contexts_alive;
    delete ftdi;
}

int ftdi_usb_find_all(ftdi_context*, ftdi_device_list** devlist, int, int)
{
    *devlist = nullptr;
    if (fake_libftdi.find_all_result < 0)
        return fake_libftdi.find_all_result;
    ++fake_libftdi.lists_alive;
    ftdi_device_list** tail = devlist;
    for (std::size_t i = 0; i < fake_libftdi.chips.size(); ++i) {
        *tail = new ftdi_device_list{nullptr, device_of(i)};
        tail = &(*tail)->next;
    }
    return static_cast<int>(fake_libftdi.chips.size());
}

void ftdi_list_free(ftdi_device_list** devlist)
{
    if (*devlist || fake_libftdi.lists_alive > 0)
        --fake_libftdi.lists_alive;
    for (ftdi_device_list* d = *devlist; d;) {
        ftdi_device_list* next = d->next;
        delete d;
        d = next;
    }
    *devlist = nullptr;
}

int ftdi_set_interface(ftdi_context*, enum ftdi_interface interface)
{
    const char port[] = {static_cast<char>('A' + (interface - INTERFACE_A)), '\0'};
    fake_libftdi.calls.push_back(std::string("interface ") + port);
    return 0;
}

int ftdi_usb_open_dev(ftdi_context* ftdi, libusb_device* dev)
{
    record("open chip %d", static_cast<int>(chip_of(dev)));
    if (fake_libftdi.open_result < 0)
        ftdi->error_str = "the fake refused";
    return fake_libftdi.open_result;
}

int ftdi_usb_get_strings(ftdi_context*, libusb_device* dev, char* manufacturer, int, char* description,
                         int desc_len, char* serial, int serial_len)
{
    const std::size_t chip = chip_of(dev);
    record("strings chip %d", static_cast<int>(chip));
    if (fake_libftdi.strings_result < 0)
        return fake_libftdi.strings_result;
    if (manufacturer)
        return -1;  // the driver never asks for it
    const std::string desc =
        chip < fake_libftdi.descriptions.size() ? fake_libftdi.descriptions[chip] : "FT232R USB UART";
    const std::string sn = chip < fake_libftdi.serials.size() ? fake_libftdi.serials[chip] : "FT" + std::to_string(chip);
    if (description)
        std::snprintf(description, static_cast<std::size_t>(desc_len), "%s", desc.c_str());
    if (serial) {
        if (sn.empty())
            return -9;  // as libftdi answers a chip without a serial number string
        std::snprintf(serial, static_cast<std::size_t>(serial_len), "%s", sn.c_str());
    }
    return 0;
}

int ftdi_usb_close(ftdi_context*)
{
    fake_libftdi.calls.emplace_back("close");
    return 0;
}

int ftdi_set_bitmode(ftdi_context*, unsigned char bitmask, unsigned char mode)
{
    char line[64];
    std::snprintf(line, sizeof line, "bitmode 0x%02X %u", bitmask, mode);
    fake_libftdi.calls.emplace_back(line);
    return fake_libftdi.bitmode_result;
}

int ftdi_set_baudrate(ftdi_context*, int baudrate)
{
    record("baudrate %d", baudrate);
    return fake_libftdi.baudrate_result;
}

int ftdi_write_data(ftdi_context*, const unsigned char*, int size)
{
    record("write %d", size);
    return fake_libftdi.write_result == -1000 ? size : fake_libftdi.write_result;
}

const char* ftdi_get_error_string(ftdi_context* ftdi)
{
    return ftdi ? ftdi->error_str : "";
}

int libusb_get_config_descriptor(libusb_device* dev, uint8_t, libusb_config_descriptor** config)
{
    auto* c = new libusb_config_descriptor{};
    c->bNumInterfaces = static_cast<uint8_t>(fake_libftdi.chips.at(chip_of(dev)));
    *config = c;
    return 0;
}

void libusb_free_config_descriptor(libusb_config_descriptor* config)
{
    delete config;
}

int ftdi_poll_modem_status(ftdi_context*, unsigned short* status)
{
    fake_libftdi.calls.emplace_back("modem status");
    *status = 0;
    return fake_libftdi.modem_status_result;
}

uint8_t libusb_get_bus_number(libusb_device*)
{
    return 1;
}

uint8_t libusb_get_device_address(libusb_device* dev)
{
    return static_cast<uint8_t>(chip_of(dev) + 1);
}

int libusb_open(libusb_device* dev, libusb_device_handle** handle)
{
    record("usb open chip %d", static_cast<int>(chip_of(dev)));
    if (fake_libftdi.usb_open_result != 0)
        return fake_libftdi.usb_open_result;
    ++fake_libftdi.usb_handles_alive;
    *handle = reinterpret_cast<libusb_device_handle*>(dev);
    return 0;
}

void libusb_close(libusb_device_handle*)
{
    --fake_libftdi.usb_handles_alive;
}

int libusb_kernel_driver_active(libusb_device_handle*, int)
{
    return fake_libftdi.kernel_driver_active;
}

int libusb_claim_interface(libusb_device_handle*, int interface)
{
    record("claim %d", interface);
    return fake_libftdi.claim_result;
}

int libusb_release_interface(libusb_device_handle*, int interface)
{
    record("release %d", interface);
    return 0;
}

}  // extern "C"
