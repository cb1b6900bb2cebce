#pragma once
// The synthesizer chip's side of the board lines: it shifts SDAT in on each
// rising SCLK, latches 21 bits on each rising S_WR and 8 bits when E_WR falls,
// and reads the option lines. What it reports is what the chip receives.

#include <cstdint>
#include <string>
#include <vector>

struct LatchedWord {
    uint32_t word = 0;
    std::size_t byte = 0;  // the byte that latched it
    bool enhancement = false;
    int bits = 0;  // the bits shifted in for it (more than the word's width push the first ones out)
};

struct ChipReception {
    std::vector<uint32_t> latched_words;      // each 21-bit word, in the order latched
    std::vector<uint32_t> enhancement_words;
    std::vector<LatchedWord> latches;         // every latch, in order
    std::vector<std::size_t> clock_edges;     // the bytes where SCLK rose, each shifting one bit in
    uint8_t options = 0;                      // the levels of the four option lines
    std::string fault;                        // empty when the burst was well formed
};

// Decodes a burst that starts from lines at rest (clock, data and strobes low).
ChipReception decode_burst(const std::vector<uint8_t>& burst);
