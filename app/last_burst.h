#pragma once
// The last burst written to the board since the main panel was loaded, kept for
// the windows that show what went out, and the burst the next press would send.

#include <cstddef>
#include <cstdint>
#include <vector>

struct WrittenBurst {
    std::vector<uint8_t> bytes;  // the whole burst handed to FT_Write
    std::size_t taken = 0;       // the bytes the board took: fewer after a short or failed write
};

// From now on every burst written is kept; none so far.
void keep_last_burst();
// nullptr before the first burst written.
const WrittenBurst* last_burst_written();
// Told after each burst written; nullptr: no one.
void on_burst_written(void (*observer)());

// The burst the next "Program Device" would send, packed from the panel as it
// stands. The working register set is left as it was.
std::vector<uint8_t> next_press_burst();
