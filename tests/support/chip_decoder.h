#pragma once
// The synthesizer chip's side of the board lines, for checking bursts: it shifts
// SDAT in on each rising SCLK, latches 21 bits on each rising S_WR and 8 bits when
// E_WR falls, and reads the option lines.

#include <cstdint>
#include <string>
#include <vector>

struct ChipReception {
    std::vector<uint32_t> latched_words;  // each 21-bit word, in the order latched
    std::vector<uint32_t> enhancement_words;
    uint8_t options = 0;                  // the levels of lines 3, 5, 6 and 7
    std::string fault;                    // empty when the burst was well formed
};

// Decodes a burst that starts from lines at rest (clock, data and strobes low).
ChipReception decode_burst(const std::vector<unsigned char>& burst);

std::string hex(const std::vector<unsigned char>& bytes);
