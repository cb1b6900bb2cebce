#pragma once
// The interface board's eight lines, one bit of each pin-state byte. In
// asynchronous bit-bang mode each byte written is one state of all eight lines.

#include <cstdint>

inline constexpr uint8_t SCLK = 0x01;          // serial clock
inline constexpr uint8_t E_WR = 0x02;          // write strobe of the enhancement register
inline constexpr uint8_t S_WR = 0x04;          // write strobe of the main and auxiliary words
inline constexpr uint8_t ENHBAR_LINE = 0x08;   // enhancement enable, active low
inline constexpr uint8_t SDAT = 0x10;          // serial data
inline constexpr uint8_t MASH_LINE = 0x20;     // MASH order: 1 is "1-1", 0 "1-1-1"
inline constexpr uint8_t RAND_EN_LINE = 0x40;  // dither enable
inline constexpr uint8_t MOD_SEL_LINE = 0x80;  // modulus select: 1 is "5/6"

// The lines driven by the bit cells and strobes, and the four that carry the
// option byte's static levels.
inline constexpr uint8_t kSerialLines = SCLK | E_WR | S_WR | SDAT;
inline constexpr uint8_t kOptionLines = ENHBAR_LINE | MASH_LINE | RAND_EN_LINE | MOD_SEL_LINE;

struct BoardLine {
    uint8_t mask;
    const char* name;
};

// All eight, bit 0 first.
inline constexpr BoardLine kBoardLines[] = {
    {SCLK, "SCLK"},           {E_WR, "E_WR"},       {S_WR, "S_WR"},
    {ENHBAR_LINE, "ENHBAR"},  {SDAT, "SDAT"},       {MASH_LINE, "MASH"},
    {RAND_EN_LINE, "RAND_EN"}, {MOD_SEL_LINE, "MOD_SEL"},
};
