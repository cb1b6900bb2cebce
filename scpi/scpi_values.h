#pragma once
// A parameter's value as a command takes it, and a query's response as a
// controller reads it. Each reader throws Refusal with the standard error:
// -104 for data of another type, -131 for a unit the command does not take,
// -138 for a unit where none is taken, -222 for a value out of range (NaN and
// INF included), -224 for a value the command has no setting for.

#include "scpi/scpi_parser.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scpi {

// A unit suffix, in capitals, and what one of it is in the command's base unit.
// SCPI reads suffixes in any case, and MHZ as megahertz.
struct Unit {
    std::string_view name;
    double factor;
};
inline constexpr Unit kFrequencyUnits[] = {{"HZ", 1.0}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}};
inline constexpr Unit kTimeUnits[] = {{"S", 1.0}, {"MS", 1e-3}, {"US", 1e-6}, {"NS", 1e-9}};

// The range a command takes, in its base unit, and the units it reads.
// MINimum and MAXimum stand for the ends.
struct NumericRule {
    double min;
    double max;
    std::span<const Unit> units = {};
};

double numeric_value(const Parameter& p, const NumericRule& rule);

// A whole number in [min, max]: "12", "1.2e1" or "#HC"; a fraction is -224.
std::uint32_t whole_value(const Parameter& p, std::uint32_t min, std::uint32_t max);

// ON or 1, OFF or 0.
bool boolean_value(const Parameter& p);

// Which of the choices ("AUTO", "ONCE", "IMMediate") the character data names.
std::size_t choice_value(const Parameter& p, std::span<const std::string_view> choices);

// A number as the shortest text that reads back as the same double: 4321000000,
// 0.25, 1e-07; NaN and infinities as SCPI writes them (9.91e+37, 9.9e+37).
std::string number_response(double value);
// A string response: the text in double quotes, its quotes doubled.
std::string string_response(std::string_view text);

}  // namespace scpi
