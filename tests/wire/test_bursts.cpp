// The bursts of pin-state bytes, byte for byte, and the words packed for them.
#include "wire/burst_decoder.h"
#include "wire/bursts.h"
#include "wire/serial_words.h"

#include <gtest/gtest.h>

namespace {

template <std::size_t N>
std::vector<uint8_t> bytes(const uint8_t (&burst)[N])
{
    return {burst, burst + N};
}

std::string repeat(const std::string& pair, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += (out.empty() ? "" : " ") + pair;
    return out;
}

}  // namespace

TEST(Bursts, MainWordAlone)
{
    uint8_t burst[kMainBurstLength];
    build_main_burst(0x155555, 0xE8, burst);
    // 21 cells alternating 1 and 0, starting and ending with 1.
    std::string cells;
    for (int bit = 20; bit >= 0; --bit)
        cells += (bit % 2 == 0 ? " F8 F9" : " E8 E9");
    EXPECT_EQ(hex_bytes(bytes(burst)), "E8 E8" + cells + " E8 E8 EC EC E8");
}

TEST(Bursts, MainThenAuxiliaryWord)
{
    uint8_t burst[kMainAuxBurstLength];
    build_main_aux_burst(0x100002, 9, 0x00, burst);
    EXPECT_EQ(hex_bytes(bytes(burst)), "00 00 10 11 " + repeat("00 01", 18) + " 10 11 00 01 00 00 04 04 00 00 00 " +
                                     repeat("00 01", 17) + " 10 11 00 01 00 01 10 11 00 00 04 04 00");
}

TEST(Bursts, EnhancementWord)
{
    uint8_t burst[kEnhancementBurstLength];
    build_enhancement_burst(0xA5, 0x80, burst);
    EXPECT_EQ(hex_bytes(bytes(burst)), "80 82 92 93 82 83 92 93 82 83 82 83 92 93 82 83 92 93 82 80");
}

TEST(Bursts, AWordOfZerosStillClocksEveryBit)
{
    uint8_t burst[kMainBurstLength];
    build_main_burst(0, 0x00, burst);
    EXPECT_EQ(hex_bytes(bytes(burst)), "00 00 " + repeat("00 01", 21) + " 00 00 04 04 00");
    uint8_t enhancement[kEnhancementBurstLength];
    build_enhancement_burst(0, 0x20, enhancement);
    EXPECT_EQ(hex_bytes(bytes(enhancement)), "20 22 " + repeat("22 23", 8) + " 22 20");
}

TEST(Bursts, BitsAboveTheWordAreNotSent)
{
    uint8_t wide[kMainBurstLength], narrow[kMainBurstLength];
    build_main_burst(0xFFE00000u | 0x0ABCDE, 0x28, wide);
    build_main_burst(0x0ABCDE, 0x28, narrow);
    EXPECT_EQ(bytes(wide), bytes(narrow));
}

TEST(Bursts, TheChipLatchesWhatWasSent)
{
    uint8_t burst[kMainAuxBurstLength];
    build_main_aux_burst(0x14AA2A, 0x155551, 0xE8, burst);
    const ChipReception r = decode_burst(bytes(burst));
    EXPECT_EQ(r.fault, "");
    EXPECT_EQ(r.latched_words, (std::vector<uint32_t>{0x14AA2A, 0x155551}));
    EXPECT_EQ(r.options, 0xE8);
}

TEST(Frames, OptionByte)
{
    EXPECT_EQ(pack_option_byte(1, 1, 1, 1), 0xE8);
    EXPECT_EQ(pack_option_byte(0, 0, 0, 0), 0x00);
    EXPECT_EQ(pack_option_byte(0, 1, 0, 0), 0x20);
    EXPECT_EQ(pack_option_byte(1, 0, 0, 0), 0x08);
    EXPECT_EQ(pack_option_byte(0, 0, 1, 0), 0x40);
    EXPECT_EQ(pack_option_byte(0, 0, 0, 1), 0x80);
}

TEST(Frames, MainWordFromTheToggles)
{
    // R 33, M 341, A 5, prescaler switch 0, toggle by toggle in line order:
    // R5 R4 M8 M7 PS M6 M5 M4 M3 M2 M1 M0 R3 R2 R1 R0 A3 A2 A1 A0
    EXPECT_EQ(pack_main_word({1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 1}), 0x14AA2Au);
    // R 1, M 100, A 0, prescaler switch 1.
    EXPECT_EQ(pack_main_word({0, 0, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}), 0x01C820u);
}

TEST(Frames, AuxiliaryWordEndsIn001)
{
    std::array<int, 18> k{};
    EXPECT_EQ(pack_auxiliary_word(k), 1u) << "K 0: the word is still sent";
    k[17] = 1;
    EXPECT_EQ(pack_auxiliary_word(k), 0x000009u) << "K 1";
    for (int n = 0; n < 18; ++n)
        k[n] = n % 2 == 0 ? 1 : 0;  // K 0x2AAAA
    EXPECT_EQ(pack_auxiliary_word(k), 0x155551u);
}

TEST(Frames, EnhancementWord)
{
    EXPECT_EQ(pack_enhancement_word({1, 0, 1, 0, 0, 1, 0, 1}), 0xA5u);
    EXPECT_EQ(pack_enhancement_word({0, 0, 0, 0, 0, 0, 0, 1}), 0x01u);
}

TEST(InsertBits, SetsAFieldAndLeavesTheRest)
{
    uint32_t w = 0xFFFFFFFFu;
    InsertBits(&w, 0x5, 4, 4, 32);
    EXPECT_EQ(w, 0xFFFFFF5Fu);
    w = 0;
    InsertBits(&w, 1, 20, 1, 21);
    EXPECT_EQ(w, 0x100000u);
}

TEST(InsertBits, AWideValueSpillsIntoTheBitsAbove)
{
    uint32_t w = 0;
    InsertBits(&w, 0x7, 3, 1, 8);  // a 3-bit value in a 1-bit field
    EXPECT_EQ(w, 0x38u);
}

TEST(InsertBits, AFieldPastTheWordClearsNothing)
{
    uint32_t w = 0xF0u;
    InsertBits(&w, 0x1, 7, 2, 8);  // bits 7 and 8 of an 8-bit word: the mask stays 0
    EXPECT_EQ(w, 0xF0u | 0x80u);
    w = 0xF0u;
    InsertBits(&w, 0x0, 7, 2, 8);
    EXPECT_EQ(w, 0xF0u) << "nothing cleared";
    w = 1;
    InsertBits(&w, 1, 40, 1, 64);  // beyond 32 bits: nothing lands
    EXPECT_EQ(w, 1u);
    InsertBits(&w, 0xFFFF, 0, 32, 32);
    EXPECT_EQ(w, 0xFFFFu) << "a 32-bit field";
}
