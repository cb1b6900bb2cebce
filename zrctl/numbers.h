#pragma once
// Numbers as typed on the command line, read whole and strictly: what is not a
// number is refused with the option's name, never read as 0.

#include "model/number_text.h"

#include <cstdint>
#include <string>

// A finite decimal number ("4321", "4000.2", "-5", "1e3").
double number_of(const std::string& option, const std::string& text);
// A frequency in MHz: a bare number, or one with its unit ("4321", "4321MHz",
// "4.321GHz", "4321000000Hz"). What is not one is refused saying what would be.
double frequency_of(const std::string& option, const std::string& text);
// What to write instead of a text that is no frequency at all.
inline constexpr const char* kFrequencyHint = "write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)";
// why, with kFrequencyHint after it when the text was no number at all.
std::string frequency_refusal(const std::string& why);
// A whole number of 32 bits ("341").
uint32_t whole_number_of(const std::string& option, const std::string& text);
