#pragma once
// Numbers as an operator types them and as they are shown back: read whole and
// strictly (what is not a number is refused, never read as 0), written as the
// shortest text that reads back as the same number; and words in hex.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A finite decimal number, the whole text ("4321", "4000.2", "-5", "1e3"); else
// why not: "not a number", "beyond the range of numbers".
std::optional<std::string> read_number(std::string_view text, double* value);
// A whole number of 32 bits ("341"); else why not: "not a whole number",
// "beyond 32 bits".
std::optional<std::string> read_whole_number(std::string_view text, uint32_t* value);

// A frequency in MHz as typed: a bare number is MHz ("4321"), or a number with
// its unit, Hz, kHz, MHz or GHz in any case, written on to it ("4321MHz",
// "4.321GHz", "4321000000Hz"). The unit moves the decimal point, so that
// "4.321GHz" is the very number "4321" gives. Else why not, with what would do:
// "write 4.3GHz or 4300".
std::optional<std::string> read_frequency_mhz(std::string_view text, double* mhz);

// The shortest text that reads back as the same number: 4000.2, 100, 262143.
std::string number_text(double value);

// "0x0D70A1": the value in hex with at least that many digits.
std::string hex_text(uint64_t value, int digits);

// Whether two words have the same letters, case aside: "mhz" and "MHz", "ZR3500" and "zr3500".
bool same_letters(std::string_view a, std::string_view b);
