#pragma once
// Numbers as typed on the command line, read whole and strictly: what is not a
// number is refused with the option's name, never read as 0.

#include "model/number_text.h"

#include <cstdint>
#include <string>

// A finite decimal number ("4321", "4000.2", "-5", "1e3").
double number_of(const std::string& option, const std::string& text);
// A whole number of 32 bits ("341").
uint32_t whole_number_of(const std::string& option, const std::string& text);
