#pragma once
// How zrctl ends: its exit statuses, and the failure that carries one with a
// message of one line that names the cause.

#include <stdexcept>
#include <string>

enum class ExitStatus : int {
    Done = 0,
    Usage = 1,         // the command line's shape: an unknown command or option, a missing argument
    InvalidInput = 2,  // a value out of range or no number, a state file that cannot be used
    NoBoard = 3,       // no FTDI device, or none of that index or serial number
    OpenFailed = 4,    // the device would not open or take asynchronous bit-bang mode
    WriteFailed = 5,   // the write failed or was short
    ListenFailed = 6,  // serve could not listen at its address
};

class Failure : public std::runtime_error {
public:
    // With result_printed, the command has printed its result already (a JSON
    // document that says what failed): only the line on the errors follows.
    Failure(ExitStatus status, const std::string& message, bool result_printed = false)
        : std::runtime_error(message), status_(status), result_printed_(result_printed)
    {
    }
    ExitStatus status() const { return status_; }
    bool result_printed() const { return result_printed_; }

private:
    ExitStatus status_;
    bool result_printed_;
};
