#pragma once
// What stands behind the D2XX calls: D2XX's types and status numbers, and the
// board driver that answers the calls (libftdi for real boards, or a simulated
// board).

#include <cstdint>
#include <string>

using FT_HANDLE = void*;
using FT_STATUS = unsigned long;
using DWORD = uint32_t;
using UCHAR = unsigned char;

// D2XX status values.
enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_INVALID_BAUD_RATE = 7,
    FT_OTHER_ERROR = 18,
};

// Bit modes of FT_SetBitMode.
enum : UCHAR {
    FT_BITMODE_RESET = 0x00,
    FT_BITMODE_ASYNC_BITBANG = 0x01,  // each byte written is one state of the eight lines
};

// Why the last open failed, beyond D2XX's status: the driver's own words and
// what the operator can do about it.
struct OpenFailure {
    enum Kind { None, Permission, Busy, Other } kind = None;
    std::string text;  // the driver's reason, "" when it gave none
};

// Whether a device could be opened now, and if not why, as far as the driver can
// tell without taking it from whoever holds it.
struct DeviceUse {
    enum Kind {
        Free,          // nobody holds it
        OpenHere,      // this program holds it open
        Busy,          // another program holds it
        NoPermission,  // the user may not open it
        SerialDriver,  // the kernel's serial driver has it: opening it takes the serial port away
        Unknown,       // the driver cannot tell
    } kind = Unknown;
    std::string text;  // the driver's own words, "" when it gave none
};

// One device as D2XX describes it. The ports of a multi-port chip share its
// serial number and description, to which D2XX adds the port's letter:
// "FT4ABCDEA", "Quad RS232-HS A".
struct DeviceDetail {
    std::string serial_number;
    std::string description;
    char port = 'A';
};

// What stands behind the calls.
class BoardDriver {
public:
    virtual ~BoardDriver() = default;
    virtual OpenFailure last_open_failure() const { return {}; }
    virtual FT_STATUS create_device_info_list(DWORD* count) = 0;
    // The device of that index, numbered as the count numbers them.
    virtual FT_STATUS get_device_info_detail(int index, DeviceDetail* detail) = 0;
    virtual FT_STATUS open(int index, FT_HANDLE* handle) = 0;
    // Opens the device whose serial number, as get_device_info_detail gives it, this is.
    virtual FT_STATUS open_by_serial_number(const std::string& serial_number, FT_HANDLE* handle) = 0;
    virtual FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) = 0;
    virtual FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD rate) = 0;
    virtual FT_STATUS write(FT_HANDLE handle, const UCHAR* buffer, DWORD size, DWORD* written) = 0;
    // The modem lines of an open device: a call that reaches the chip and fails
    // once it has been unplugged. A driver that cannot tell says the device is there.
    virtual FT_STATUS modem_status(FT_HANDLE, DWORD* status)
    {
        *status = 0;
        return FT_OK;
    }
    // Whether the device of that index could be opened now.
    virtual DeviceUse device_use(int) { return {}; }
    virtual FT_STATUS close(FT_HANDLE handle) = 0;
};
