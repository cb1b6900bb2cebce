#pragma once
// The board as zrctl opens it for writing, as the panel does at start-up: the
// device of an index or serial number, all eight lines outputs in asynchronous
// bit-bang mode at the panel's rate. Closed when it goes out of scope.

#include "zrctl/report.h"
#include "zrctl/settings.h"

#include "d2xx/d2xx.h"
#include "wire/sweep_run.h"

#include <string>

namespace CLI {
class App;
}  // namespace CLI

// Which device: --index N or --serial S, device 0 when neither is given.
struct DeviceChoice {
    TextOption index, serial;
};
void add_device_options(CLI::App& command, DeviceChoice& choice);

class OpenBoard {
public:
    // Refuses, with the exit status of what failed: no device (or none of that
    // index or serial number), an open that failed, a mode or rate not taken.
    explicit OpenBoard(const DeviceChoice& choice);
    ~OpenBoard();
    OpenBoard(const OpenBoard&) = delete;
    OpenBoard& operator=(const OpenBoard&) = delete;

    FT_HANDLE handle() const { return handle_; }
    // One burst in one FT_Write, as program and sweep write them.
    SweepWriter writer() const;

private:
    FT_HANDLE handle_ = nullptr;
};

// "device 0" or "device with serial number FT5XZ3P1A", as messages name it.
std::string device_name(const DeviceChoice& choice);
// The index asked for, or the panel's device.
uint32_t device_index(const DeviceChoice& choice);
// {"index": 0} or {"serial_number": "FT5XZ3P1A"}.
Json device_json(const DeviceChoice& choice);

// Why a burst did not reach the board whole, as program says it: "the write to
// FTDI device 0 failed: FT_IO_ERROR (4), 0 of 49 bytes written; what the chip
// latched cannot be known". Empty when the board took every byte.
std::string write_failure_text(const std::string& device, const std::vector<uint8_t>& burst, const BoardWrite& w);
