// The chip-side decoder on bursts laid out by hand, bit cell by bit cell: a
// strobe that latches after the wrong number of clock edges is a burst the chip
// takes wrongly, and the decoder says so.
#include "wire/board_lines.h"
#include "wire/burst_decoder.h"

#include <gtest/gtest.h>

namespace {

// Lines at rest, then one cell for each of the word's low `bits` bits, the most
// significant first: data set with the clock low, held while it rises.
std::vector<uint8_t> cells(uint32_t word, int bits, uint8_t base = 0)
{
    std::vector<uint8_t> out{base, base};
    for (int bit = bits - 1; bit >= 0; --bit) {
        const uint8_t data = (word >> bit) & 1u ? SDAT : 0;
        out.push_back(base | data);
        out.push_back(base | data | SCLK);
    }
    out.push_back(base);
    return out;
}

// `bits` cells, then the S_WR pulse.
std::vector<uint8_t> s_wr_word(uint32_t word, int bits)
{
    std::vector<uint8_t> out = cells(word, bits);
    out.insert(out.end(), {S_WR, S_WR, 0});
    return out;
}

// E_WR high over `bits` cells, falling at the end.
std::vector<uint8_t> e_wr_word(uint32_t word, int bits)
{
    std::vector<uint8_t> out = cells(word, bits, E_WR);
    out.front() = 0;
    out.push_back(0);
    return out;
}

std::vector<uint8_t> joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(BurstDecoder, TwentyOneBitsBeforeSWrAndEightBeforeEWrAreWellFormed)
{
    ChipReception r = decode_burst(s_wr_word(0x14AA2A, 21));
    EXPECT_EQ(r.fault, "");
    EXPECT_EQ(r.latched_words, std::vector<uint32_t>{0x14AA2A});

    r = decode_burst(joined(s_wr_word(0x000E2C, 21), s_wr_word(0x0D70A1, 21)));
    EXPECT_EQ(r.fault, "") << "the count starts again after each strobe";
    EXPECT_EQ(r.latched_words, (std::vector<uint32_t>{0x000E2C, 0x0D70A1}));

    r = decode_burst(e_wr_word(0xA5, 8));
    EXPECT_EQ(r.fault, "");
    EXPECT_EQ(r.enhancement_words, std::vector<uint32_t>{0xA5});
}

TEST(BurstDecoder, AStrobeAfterTheWrongBitCountIsReported)
{
    // One bit short: the chip's 21-bit register keeps a stale bit at its top.
    ChipReception r = decode_burst(s_wr_word(0x0E2C, 20));
    EXPECT_EQ(r.fault, "S_WR latched 20 bits");
    ASSERT_EQ(r.latches.size(), 1u);
    EXPECT_EQ(r.latches[0].bits, 20);

    // One bit too many: the first bit shifted in is pushed out of the register.
    r = decode_burst(s_wr_word(0x34AA2A, 22));
    EXPECT_EQ(r.fault, "S_WR latched 22 bits");
    EXPECT_EQ(r.latched_words, std::vector<uint32_t>{0x14AA2A}) << "the last 21 bits shifted in";

    // A well-formed main word, then an auxiliary word one bit short.
    r = decode_burst(joined(s_wr_word(0x000E2C, 21), s_wr_word(0x0D70A1, 20)));
    EXPECT_EQ(r.fault, "S_WR latched 20 bits");
    EXPECT_EQ(r.latched_words.size(), 2u);

    // A strobe with no clock before it.
    EXPECT_EQ(decode_burst({0, S_WR, S_WR, 0}).fault, "S_WR latched 0 bits");

    EXPECT_EQ(decode_burst(e_wr_word(0x25, 7)).fault, "E_WR latched 7 bits");
    EXPECT_EQ(decode_burst(e_wr_word(0x1A5, 9)).fault, "E_WR latched 9 bits");
    EXPECT_EQ(decode_burst(e_wr_word(0x1A5, 9)).enhancement_words, std::vector<uint32_t>{0xA5});
}
