// The register words as text and C header, the forms of words the reader takes,
// and the words it refuses, each named. The panel's tests read each format back.
#include "wire/register_text.h"

#include <gtest/gtest.h>

namespace {

// The bench's ZR3500 setting of 4321 MHz (zrctl solve 4321 --part zr3500
// --prescaler 10/11): main word 0x000E2C, auxiliary word 0x0D70A1.
RegisterSet zr3500_at_4321()
{
    RegisterSet r;
    r.N_flag = ZR3500;
    r.ref_freq = 100.0;
    r.R_reg = 1;
    r.M_reg = 7;
    r.A_reg = 6;
    r.K_reg = 110100;
    r.E_reg = 165;
    r.MASH = 1;
    r.RAND_EN = 1;
    r.ENHBAR = 1;
    r.LNM = 1;
    r.new_pll_freq = 4320.9999084;
    return r;
}

RegisterWords words_of(const RegisterSet& r)
{
    return register_words(r, r.N_flag == ZR3500 ? "ZR3500" : "ZR3100", "4320.9999084",
                          {r.N_flag == ZR3500 ? "zr3500" : "zr3100", "10/11", "1-1", "in"});
}

std::string refusal(const std::string& text)
{
    ImportedWords w;
    w.main_word = 0x123456;  // stays when the text is refused
    std::string problem;
    EXPECT_FALSE(parse_register_words(text, &w, &problem)) << text;
    EXPECT_EQ(w.main_word, 0x123456u) << "a refused text leaves what was read before";
    return problem;
}

ImportedWords read(const std::string& text)
{
    ImportedWords w;
    std::string problem;
    EXPECT_TRUE(parse_register_words(text, &w, &problem)) << problem << "\n" << text;
    return w;
}

}  // namespace

TEST(RegisterText, TheHexTextOfTheBenchSetting)
{
    EXPECT_EQ(registers_hex_text(words_of(zr3500_at_4321())),
              "# ZR3500: R 1, M 7, A 6, K 110100, E 165, Fin 4320.9999084 MHz\n"
              "main word         0x000E2C\n"
              "auxiliary word    0x0D70A1\n"
              "enhancement word  0xA5\n"
              "option byte       0x68\n");
}

TEST(RegisterText, TheCHeaderNamesThePartAndItsRegistersInAComment)
{
    const std::string header = registers_c_header(words_of(zr3500_at_4321()));
    EXPECT_EQ(header.rfind("/* ZR3500: R 1, M 7, A 6, K 110100, E 165, Fin 4320.9999084 MHz */\n", 0), 0u) << header;
    EXPECT_NE(header.find("#define ZR3500_MAIN_WORD        0x000E2Cu"), std::string::npos) << header;
    EXPECT_NE(header.find("#define ZR3500_AUXILIARY_WORD   0x0D70A1u"), std::string::npos) << header;
}

TEST(RegisterText, WordsAsZrctlAndTheStatusBoxGiveThem)
{
    ImportedWords w = read("main word 0x000E2C  auxiliary word 0x0D70A1  option byte 0x28");
    EXPECT_EQ(w.main_word, 0x000E2Cu);
    EXPECT_EQ(w.auxiliary_word, 0x0D70A1u);
    EXPECT_EQ(w.option_byte, 0x28);
    EXPECT_FALSE(w.enhancement_word);

    w = read("Sent main word 0x14AA2A and auxiliary word 0x155551 (98 bytes): R 33, M 341, A 5, K 174762\n");
    EXPECT_EQ(w.main_word, 0x14AA2Au);
    EXPECT_EQ(w.auxiliary_word, 0x155551u);

    w = read("0x000E2C 0x0D70A1\n");
    EXPECT_EQ(w.main_word, 0x000E2Cu) << "bare words: the main word first";
    EXPECT_EQ(w.auxiliary_word, 0x0D70A1u);

    w = read(R"({"command": "burst", "path": "enhancement", "main_word": null, "auxiliary_word": null,
                "enhancement_word": 165, "option_byte": 160})");
    EXPECT_FALSE(w.main_word);
    EXPECT_EQ(w.enhancement_word, 165u);
    EXPECT_EQ(w.option_byte, 160);
}

TEST(RegisterText, AWordThatCannotBeOneOfItsKindIsRefusedByName)
{
    EXPECT_EQ(refusal("main word 0x000E2D"), "line 1: main word 0x000E2D has bit 0 set: a main word ends in 0");
    EXPECT_EQ(refusal("main word 0x000E2C\nauxiliary word 0x0D70A3"),
              "line 2: auxiliary word 0x0D70A3 has 011 in bits 2 to 0: an auxiliary word ends in 001");
    EXPECT_EQ(refusal("main word 0x200000"), "line 1: main word 0x200000 has more than 21 bits");
    EXPECT_EQ(refusal("auxiliary word 0xFFFFFFFFFFFFFFFFFF"),
              "line 1: auxiliary word 0xFFFFFFFFFFFFFFFFFF has more than 21 bits");
    EXPECT_EQ(refusal("enhancement word 0x1A5"), "line 1: enhancement word 0x1A5 has more than 8 bits");
    EXPECT_EQ(refusal("option byte 0x39"),
              "line 1: option byte 0x39 sets SCLK, SDAT: the option byte holds only ENHBAR, MASH, RAND_EN and "
              "MOD_SEL");
    EXPECT_EQ(refusal("0x000E2D"), "line 1: main word 0x000E2D has bit 0 set: a main word ends in 0")
        << "a bare word is first the main word";
    EXPECT_EQ(refusal("0x000E2C 0x000E2C"),
              "line 1: auxiliary word 0x000E2C has 100 in bits 2 to 0: an auxiliary word ends in 001");
    EXPECT_EQ(refusal("main word 0x000E2C\nmain word 0x000E2E"),
              "line 2: a second main word, 0x000E2E (the first is 0x000E2C, line 1)");
    EXPECT_EQ(refusal(R"({"main_word": -2})"), "main_word is -2: a word is a whole number from 0");
    EXPECT_EQ(refusal(R"({"main_word": 7)").rfind("not JSON: ", 0), 0u);
    EXPECT_EQ(refusal("# R 1, M 7\n"), "no register words: each goes in hex, as 0x..., after its name (main, "
                                       "auxiliary, enhancement, option)");
    EXPECT_NE(refusal(std::string(kLargestRegisterText + 1, ' ')).find("longer than"), std::string::npos);
}

// A typo run into a word ("0x000E2Cg", a digit pasted twice with a stray letter)
// would otherwise be read as the hex before it: the line is refused and names
// the word as typed. A C suffix, and punctuation or a blank after it, end the word.
TEST(RegisterText, ALineWithCharactersRunIntoTheHexIsRefused)
{
    for (const char* typed : {"0x000E2Cg", "0x000E2C_", "0x000E2CZZ", "0x000E2Cuq", "0x0E2C0x1", "0x000E2C.5"}) {
        const std::string problem = refusal(std::string("main word ") + typed);
        EXPECT_EQ(problem.rfind("line 1: \"", 0), 0u) << typed << ": " << problem;
        EXPECT_NE(problem.find(typed), std::string::npos) << typed << ": " << problem;
        EXPECT_NE(problem.find("is not a word in hex"), std::string::npos) << typed << ": " << problem;
    }
    EXPECT_EQ(refusal("main word 0x000E2C\nauxiliary word 0x0D70A1x"),
              "line 2: \"0x0D70A1x\" is not a word in hex");

    for (const char* ending : {"u", "UL", ",", ";", ")", ".", " (R 1)"}) {
        const ImportedWords w = read(std::string("main word 0x000E2C") + ending);
        EXPECT_EQ(w.main_word, 0x000E2Cu) << "ended by \"" << ending << "\"";
    }
}
