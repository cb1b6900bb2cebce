#pragma once
// A link-time stand-in for the libftdi and libusb calls of the libftdi driver:
// chips with a number of ports each, answers chosen by the test, and a record of
// what the driver asked for.

#include <string>
#include <vector>

struct FakeLibftdi {
    std::vector<int> chips;            // ports of each FTDI chip on the bus, in bus order
    // Each chip's description and serial number strings; an empty serial number
    // is a chip without one. A chip beyond them is "FT232R USB UART", "FT<chip>".
    std::vector<std::string> descriptions;
    std::vector<std::string> serials;
    int strings_result = 0;            // < 0: ftdi_usb_get_strings fails with it
    bool context_fails = false;        // ftdi_new returns nothing
    int find_all_result = 0;           // < 0: ftdi_usb_find_all fails with it
    int open_result = 0;               // ftdi_usb_open_dev's answer
    int write_result = -1000;          // ftdi_write_data's answer; -1000: every byte written
    int bitmode_result = 0;            // ftdi_set_bitmode's answer
    int baudrate_result = 0;           // ftdi_set_baudrate's answer
    int modem_status_result = 0;       // ftdi_poll_modem_status's answer
    // What a probe of a chip finds: libusb_open's answer, whether the serial
    // driver has the interface, and libusb_claim_interface's answer.
    int usb_open_result = 0;
    int kernel_driver_active = 0;
    int claim_result = 0;
    int usb_handles_alive = 0;         // opened by libusb_open and not yet closed

    // What the driver asked for, in order: "strings chip 0", "interface B", "open chip 1",
    // "bitmode 0xFF 1", "baudrate 19200", "write 49", "close".
    std::vector<std::string> calls;
    int contexts_alive = 0;            // made by ftdi_new and not yet freed
    int lists_alive = 0;               // device lists not yet freed
};

// The one the fake calls answer from; tests set it up.
extern FakeLibftdi fake_libftdi;
