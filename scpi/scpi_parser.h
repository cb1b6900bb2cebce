#pragma once
// The program message as a controller sends it: units split at ';' outside
// quoted strings, each with a header (`*OPC?`, `:SOUR:FREQ:CW`) and parameters
// split at ',' (decimal or #H/#Q/#B numbers with an optional unit suffix,
// character data such as AUTO or ZR3500, quoted strings).
//
// Only space and tab separate; every other control byte, NUL included, and
// every byte above 0x7E is an invalid character, also inside a string.

#include "scpi/scpi_errors.h"

#include <string>
#include <string_view>
#include <vector>

namespace scpi {

// The longest mnemonic, character data and suffix a controller may send.
constexpr std::size_t kMaxMnemonic = 12;

struct Mnemonic {
    std::string name;  // as typed, without its numeric suffix
    int suffix = 1;    // FREQ means FREQ1
};

enum class DataKind { Numeric, Character, String };

struct Parameter {
    DataKind kind = DataKind::Numeric;
    // Character data as typed; a string's contents with doubled quotes undone;
    // a number as typed without its suffix.
    std::string text;
    // A number's value: infinite for one beyond the range of doubles.
    double value = 0.0;
    std::string suffix;  // a number's unit as typed ("MHz"), empty when none
};

struct ProgramUnit {
    bool common = false;     // *IDN? and the like: header holds one mnemonic
    bool from_root = false;  // began with ':'
    bool query = false;
    std::vector<Mnemonic> header;
    std::vector<Parameter> parameters;
};

// The units of a program message, split at ';' outside quoted strings. A
// string left open runs to the end of the message.
std::vector<std::string_view> split_units(std::string_view message);

// Nothing but spaces and tabs: a unit that does nothing.
bool is_blank(std::string_view text);

// A unit read, or the command error that refuses it with a short detail.
struct ParsedUnit {
    ProgramUnit unit;
    Error error = Error::None;
    std::string detail;
};
ParsedUnit parse_unit(std::string_view text);

}  // namespace scpi
