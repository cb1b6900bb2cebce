#pragma once
// A burst laid out for a timing diagram: each bit cell with the register bit it
// carries, and each latch with the word it latches and what that word sets. The
// labels come from the chip-side decoder, so they say what the chip receives.

#include "wire/word_fields.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One serial bit: SDAT set in first_byte while SCLK is low, shifted in where SCLK rises.
struct TraceCell {
    std::size_t first_byte = 0;
    std::size_t clock_byte = 0;
    int value = 0;
    std::string label;  // "R5", "K0", "E7"; empty for a bit that no latch took
    int latch = -1;     // the latch that took it, -1: none
};

struct TraceLatch {
    std::size_t byte = 0;  // where the strobe latched it: S_WR rising, E_WR falling
    WordKind kind = WordKind::Unknown;
    uint32_t word = 0;
    std::string hex;     // "0x14AA2A"
    std::string fields;  // "R 33, M 341, A 5, PS 0 (prescaler in use)"
};

struct BurstTrace {
    std::vector<uint8_t> bytes;
    std::vector<TraceCell> cells;
    std::vector<TraceLatch> latches;
    std::string fault;  // the decoder's, empty when the burst is well formed
};

BurstTrace trace_burst(const std::vector<uint8_t>& bytes);
