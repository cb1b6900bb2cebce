#pragma once
// A burst as a Value Change Dump (IEEE 1364): the eight board lines, each a
// 1-bit wire under its name, changing at the times the board takes the bytes.
// Logic analyser software reads it as a capture of the lines.

#include <cstdint>
#include <string>
#include <vector>

// The dump's time unit, and the time of each byte rounded to it.
inline constexpr const char* kVcdTimescale = "1 ns";

// The dump of a burst whose bytes the lines take pin_update_rate times a second,
// from lines at rest before it. writer goes into the dump's version line.
std::string value_change_dump(const std::vector<uint8_t>& burst, double pin_update_rate, const std::string& writer);
