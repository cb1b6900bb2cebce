#include "scpi/scpi_errors.h"

namespace scpi {

const char* error_text(Error e)
{
    switch (e) {
    case Error::None: return "No error";
    case Error::Command: return "Command error";
    case Error::InvalidCharacter: return "Invalid character";
    case Error::Syntax: return "Syntax error";
    case Error::DataType: return "Data type error";
    case Error::ParameterNotAllowed: return "Parameter not allowed";
    case Error::MissingParameter: return "Missing parameter";
    case Error::HeaderSeparator: return "Header separator error";
    case Error::MnemonicTooLong: return "Program mnemonic too long";
    case Error::UndefinedHeader: return "Undefined header";
    case Error::HeaderSuffixOutOfRange: return "Header suffix out of range";
    case Error::InvalidCharacterInNumber: return "Invalid character in number";
    case Error::ExponentTooLarge: return "Exponent too large";
    case Error::TooManyDigits: return "Too many digits";
    case Error::InvalidSuffix: return "Invalid suffix";
    case Error::SuffixNotAllowed: return "Suffix not allowed";
    case Error::InvalidCharacterData: return "Invalid character data";
    case Error::CharacterDataTooLong: return "Character data too long";
    case Error::InvalidStringData: return "Invalid string data";
    case Error::Execution: return "Execution error";
    case Error::TriggerIgnored: return "Trigger ignored";
    case Error::InitIgnored: return "Init ignored";
    case Error::SettingsConflict: return "Settings conflict";
    case Error::DataOutOfRange: return "Data out of range";
    case Error::IllegalParameterValue: return "Illegal parameter value";
    case Error::Hardware: return "Hardware error";
    case Error::DeviceSpecific: return "Device-specific error";
    case Error::QueueOverflow: return "Queue overflow";
    case Error::Communication: return "Communication error";
    case Error::InputBufferOverrun: return "Input buffer overrun";
    case Error::TimeOut: return "Time out error";
    case Error::Query: return "Query error";
    case Error::QueryInterrupted: return "Query INTERRUPTED";
    }
    return "Error";
}

std::uint8_t event_bit_of(Error e)
{
    const int n = static_cast<int>(e);
    if (n == 0)
        return 0;
    if (n <= -100 && n > -200)
        return CommandErrorBit;
    if (n <= -200 && n > -300)
        return ExecutionErrorBit;
    if (n <= -400 && n > -500)
        return QueryErrorBit;
    return DeviceErrorBit;
}

bool is_command_error(Error e)
{
    return event_bit_of(e) == CommandErrorBit;
}

}  // namespace scpi
