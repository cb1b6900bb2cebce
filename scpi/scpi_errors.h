#pragma once
// The error and event numbers an instrument reports in SYSTem:ERRor?, with their
// standard texts, the event status bits they set, and the refusal a command
// handler throws to report one.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace scpi {

enum class Error : int {
    None = 0,
    Command = -100,
    InvalidCharacter = -101,
    Syntax = -102,
    DataType = -104,
    ParameterNotAllowed = -108,
    MissingParameter = -109,
    HeaderSeparator = -111,
    MnemonicTooLong = -112,
    UndefinedHeader = -113,
    HeaderSuffixOutOfRange = -114,
    InvalidCharacterInNumber = -121,
    ExponentTooLarge = -123,
    TooManyDigits = -124,
    InvalidSuffix = -131,
    SuffixNotAllowed = -138,
    InvalidCharacterData = -141,
    CharacterDataTooLong = -144,
    InvalidStringData = -151,
    Execution = -200,
    TriggerIgnored = -211,
    InitIgnored = -213,
    SettingsConflict = -221,
    DataOutOfRange = -222,
    IllegalParameterValue = -224,
    Hardware = -240,
    DeviceSpecific = -300,
    QueueOverflow = -350,
    Communication = -360,
    InputBufferOverrun = -363,
    TimeOut = -365,
    Query = -400,
    QueryInterrupted = -410,
};

// The standard text: "Undefined header". Numbers not listed above read "Error".
const char* error_text(Error e);

// The standard event status register's bits.
enum EventBit : std::uint8_t {
    OperationComplete = 1u << 0,
    QueryErrorBit = 1u << 2,
    DeviceErrorBit = 1u << 3,
    ExecutionErrorBit = 1u << 4,
    CommandErrorBit = 1u << 5,
};

// The bit an error sets: -1xx command, -2xx execution, -3xx and the device's own
// positive numbers device-specific, -4xx query; none for 0.
std::uint8_t event_bit_of(Error e);

// Command errors are the parser's: the rest of the program message is not run.
bool is_command_error(Error e);

// What a command handler throws to refuse: the error and a short detail for the
// queue ("above 5 GHz"), never an exception of another kind for bad input.
class Refusal : public std::runtime_error {
public:
    Refusal(Error error, const std::string& detail) : std::runtime_error(detail), error_(error), detail_(detail) {}
    Error error() const { return error_; }
    // Whole, NUL bytes included, where what() would stop at the first.
    const std::string& detail() const { return detail_; }

private:
    Error error_;
    std::string detail_;
};

}  // namespace scpi
