// The register map against the chip's bit order written out by hand, and the
// worked example: the words packed, read back and labelled as the chip takes them.
#include "wire/burst_decoder.h"
#include "wire/bursts.h"
#include "wire/serial_words.h"
#include "wire/word_fields.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The main word on the line, from its first bit: each register bit by name.
constexpr const char* kMainWordOnTheLine = "R5 R4 M8 M7 PS M6 M5 M4 M3 M2 M1 M0 R3 R2 R1 R0 A3 A2 A1 A0 0";

std::vector<std::string> names(const char* line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string name; in >> name;)
        out.push_back(name);
    return out;
}

// The main word built bit by bit from the line order above.
uint32_t main_word_by_hand(uint32_t R, uint32_t M, uint32_t PS, uint32_t A)
{
    uint32_t word = 0;
    for (const std::string& name : names(kMainWordOnTheLine)) {
        uint32_t bit = 0;
        if (name == "PS")
            bit = PS;
        else if (name != "0") {
            const uint32_t value = name[0] == 'R' ? R : name[0] == 'M' ? M : A;
            bit = (value >> std::stoi(name.substr(1))) & 1u;
        }
        word = word << 1 | bit;
    }
    return word;
}

}  // namespace

TEST(RegisterMap, TheWorkedExample)
{
    // R 1, M 7, A 6 with the prescaler in use; K 110100 for ZR3500.
    EXPECT_EQ(main_word_of(1, 7, 0, 6), 0x000E2Cu);
    EXPECT_EQ(auxiliary_word_of(110100), 0x0D70A1u);
    EXPECT_EQ(auxiliary_word_k(0x0D70A1), 110100u);
    const MainWordFields f = main_word_fields(0x000E2C);
    EXPECT_EQ(f.R, 1u);
    EXPECT_EQ(f.M, 7u);
    EXPECT_EQ(f.A, 6u);
    EXPECT_EQ(f.PS, 0);
    EXPECT_EQ(enhancement_word_of(165), 0xA5u);
}

TEST(RegisterMap, EveryRegisterBitStandsWhereTheLineOrderPutsIt)
{
    std::mt19937 random(20240611);
    for (int i = 0; i < 2000; ++i) {
        const uint32_t R = random() % 64, M = random() % 512, A = random() % 16, PS = random() % 2;
        const uint32_t word = main_word_of(R, M, static_cast<int>(PS), A);
        ASSERT_EQ(word, main_word_by_hand(R, M, PS, A)) << "R " << R << " M " << M << " A " << A << " PS " << PS;
        const MainWordFields f = main_word_fields(word);
        ASSERT_EQ(f.R, R);
        ASSERT_EQ(f.M, M);
        ASSERT_EQ(f.A, A);
        ASSERT_EQ(f.PS, static_cast<int>(PS));
        ASSERT_TRUE(is_main_word(word));

        const uint32_t K = random() % 262144;
        ASSERT_EQ(auxiliary_word_of(K), K << 3 | 1u) << "K " << K << ", then 0 0 1";
        ASSERT_EQ(auxiliary_word_k(auxiliary_word_of(K)), K);
        ASSERT_TRUE(is_auxiliary_word(auxiliary_word_of(K)));
    }
}

TEST(RegisterMap, OneBitAtATimeReachesTheChipAsItsRegisterBit)
{
    // Each register bit alone, sent in a burst and read back by the chip-side decoder.
    const std::vector<std::string> line = names(kMainWordOnTheLine);
    for (std::size_t place = 0; place < line.size(); ++place) {
        const std::string& name = line[place];
        if (name == "0")
            continue;
        uint32_t R = 0, M = 0, A = 0, PS = 0;
        if (name == "PS")
            PS = 1;
        else
            (name[0] == 'R' ? R : name[0] == 'M' ? M : A) = 1u << std::stoi(name.substr(1));
        const std::vector<uint8_t> burst = build_burst(main_word_of(R, M, static_cast<int>(PS), A), 0, 0x08, 1);
        const ChipReception r = decode_burst(burst);
        ASSERT_EQ(r.latched_words.size(), 1u) << name;
        EXPECT_EQ(r.latched_words[0], 1u << (20 - place)) << name << " is bit " << 20 - place << " on the line";
    }
}

TEST(RegisterMap, TheBusViewLabelsEachBitAsTheLineOrderNamesIt)
{
    EXPECT_EQ(word_bit_labels(WordKind::Main), names(kMainWordOnTheLine));
    std::vector<std::string> auxiliary;
    for (int bit = 17; bit >= 0; --bit)
        auxiliary.push_back("K" + std::to_string(bit));
    auxiliary.insert(auxiliary.end(), {"0", "0", "1"});
    EXPECT_EQ(word_bit_labels(WordKind::Auxiliary), auxiliary);
    EXPECT_EQ(word_bit_labels(WordKind::Enhancement),
              (std::vector<std::string>{"E7", "E6", "E5", "E4", "E3", "E2", "E1", "E0"}));
    EXPECT_EQ(word_bit_labels(WordKind::Unknown).front(), "b20");
}

TEST(RegisterMap, TheOptionByteReadsBackItsLines)
{
    for (int levels = 0; levels < 16; ++levels) {
        const int ENHBAR = levels & 1, MASH = levels >> 1 & 1, RAND_EN = levels >> 2 & 1, MOD_SEL = levels >> 3 & 1;
        const uint8_t o = pack_option_byte(ENHBAR, MASH, RAND_EN, MOD_SEL);
        // The board's wiring: ENHBAR on line 3, MASH 5, RAND_EN 6, MOD_SEL 7.
        EXPECT_EQ(o, ENHBAR << 3 | MASH << 5 | RAND_EN << 6 | MOD_SEL << 7);
        EXPECT_EQ(static_cast<int>(register_in(FieldOf::MOD_SEL, o)), MOD_SEL);
        EXPECT_EQ(static_cast<int>(register_in(FieldOf::ENHBAR, o)), ENHBAR);
    }
}
