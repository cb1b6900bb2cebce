#pragma once
// The value-to-toggles rule of a register's row of bit toggles.

#include <cstddef>
#include <cstdint>

// Which toggles of a row of `width` bits a value turns on: from the highest
// weight down, a toggle is on and its weight taken off when what is left is at
// least the weight. Bit i of the result is the toggle of weight 2^i. A value of
// 2^width or more turns every toggle on.
uint32_t toggle_pattern(uint32_t value, std::size_t width);
