#pragma once
// A simulated interface board for tests and benchmarks: a chosen device count,
// injected faults, and a record of every call and every burst written.

#include "d2xx/board_driver.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// The serial number of the board that --simulated-board puts behind the calls.
inline constexpr const char* kSimulatedSerialNumber = "SIMULATED";

class SimulatedBoard final : public BoardDriver {
public:
    // What the board does.
    DWORD device_count = 1;
    // The devices' serial numbers, descriptions and ports, by index. A device
    // beyond them is port A of "Simulated board" with serial number "SIM<index>".
    std::vector<DeviceDetail> details;
    FT_STATUS count_status = FT_OK;     // a non-zero status fails the device count
    FT_STATUS detail_status = FT_OK;    // a non-zero status fails every device detail
    FT_STATUS open_status = FT_OK;      // a non-zero status fails the open
    OpenFailure open_failure;           // and what the board then says of it
    FT_STATUS bit_mode_status = FT_OK;  // a non-zero status fails the bit mode
    FT_STATUS baud_rate_status = FT_OK; // a non-zero status fails the baud rate
    FT_STATUS write_status = FT_OK;     // a non-zero status fails every write
    DWORD write_limit = 0xFFFFFFFF;     // a write puts at most this many bytes on the lines
    // Runs as each FT_Write begins: how a run changes the board as it goes (a
    // write that starts failing, a Ctrl+C at a given write).
    std::function<void()> before_write;
    // Serial numbers of devices another program holds, and of devices this user
    // may not open: their open fails as libftdi's does.
    std::vector<std::string> busy;
    std::vector<std::string> no_permission;
    // Whether calls and bursts are kept below: a panel run for trying keeps nothing.
    bool record = true;

    // The device of that serial number goes off the bus: the devices after it move
    // down one index, and a handle open on it fails every call but FT_Close.
    void unplug(const std::string& serial_number);
    // A device comes onto the bus after the others.
    void plug_in(const DeviceDetail& detail);

    // What happened, in order: "FT_CreateDeviceInfoList", "FT_GetDeviceInfoDetail(0)",
    // "FT_Open(0)", "FT_OpenEx(SIM1)", "FT_SetBitMode(0xFF, 1)", "FT_SetBaudRate(76800)",
    // "FT_Write(49)", "FT_Close".
    std::vector<std::string> calls;
    // Every burst handed to FT_Write, whole, whatever the board then did with it.
    std::vector<std::vector<UCHAR>> bursts;
    // The same, by the serial number of the device that was open for them.
    std::map<std::string, std::vector<std::vector<UCHAR>>> bursts_by_serial;

    // Drops the record of calls and bursts, as a long run that does not look at it would.
    void forget()
    {
        calls.clear();
        calls.shrink_to_fit();
        bursts.clear();
        bursts.shrink_to_fit();
        bursts_by_serial.clear();
    }

    bool is_open() const { return open_; }
    // The serial number of the open device, "" when none is.
    std::string open_serial_number() const { return open_ ? open_serial_ : std::string(); }
    UCHAR bit_mask() const { return mask_; }
    UCHAR bit_mode() const { return mode_; }
    DWORD baud_rate() const { return baud_; }
    // The state of the eight lines after the last byte written.
    UCHAR lines() const { return lines_; }

    OpenFailure last_open_failure() const override { return last_failure_; }
    DeviceDetail detail_of(int index) const;

    FT_STATUS create_device_info_list(DWORD* count) override;
    FT_STATUS get_device_info_detail(int index, DeviceDetail* detail) override;
    FT_STATUS open(int index, FT_HANDLE* handle) override;
    FT_STATUS open_by_serial_number(const std::string& serial_number, FT_HANDLE* handle) override;
    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override;
    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD rate) override;
    FT_STATUS write(FT_HANDLE handle, const UCHAR* buffer, DWORD size, DWORD* written) override;
    FT_STATUS modem_status(FT_HANDLE handle, DWORD* status) override;
    DeviceUse device_use(int index) override;
    FT_STATUS close(FT_HANDLE handle) override;

private:
    bool owns(FT_HANDLE handle) const { return open_ && handle == &token_; }
    FT_STATUS open_index(int index, FT_HANDLE* handle);
    void note(std::string call);
    // Gives every counted device its entry in details.
    void fill_details();
    static bool among(const std::vector<std::string>& serials, const std::string& serial);

    char token_ = 0;  // its address is the handle of the open board
    bool open_ = false;
    bool unplugged_ = false;  // the open device went off the bus
    std::string open_serial_;
    OpenFailure last_failure_;
    UCHAR mask_ = 0, mode_ = 0, lines_ = 0;
    DWORD baud_ = 0;
};

// Makes the board the one --simulated-board puts behind the calls for trying the
// programs without a board: one device, port A of "Simulated board", serial
// number SIMULATED, that takes every call.
void make_board_to_try(SimulatedBoard& board);
