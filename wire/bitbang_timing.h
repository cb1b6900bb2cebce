#pragma once
// How fast the board's lines take the bytes written in asynchronous bit-bang
// mode. FTDI's application note AN232R-01, "Bit Bang Modes for the FT232R and
// FT245R", gives the rule: the clock of asynchronous bit-bang mode is 16 times
// the baud rate set, so 9600 baud updates the pins 153 600 times a second. The
// rule is FTDI's for that family (FT232R, FT245R); other families' notes may
// give another.

#include "wire/board_setup.h"

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kPinUpdatesPerBaud = 16;
// The family whose notes the rule comes from, and the note, for the windows and
// files that state the time scale.
inline constexpr const char* kPinRateChipFamily = "FT232R/FT245R";
inline constexpr const char* kPinRateSource = "FTDI AN232R-01";

inline constexpr double pin_update_rate(uint32_t baud_rate)
{
    return static_cast<double>(baud_rate) * kPinUpdatesPerBaud;
}

// Pin states a second at the board's baud rate.
inline constexpr double kPinUpdateRate = pin_update_rate(kBitBangBaudRate);

// When the lines take byte `index` of a burst, from the first byte, in seconds.
inline constexpr double byte_time(std::size_t index)
{
    return static_cast<double>(index) / kPinUpdateRate;
}
