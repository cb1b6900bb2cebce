// Frequencies as typed with their units: the unit moves the decimal point and
// adds no rounding, and a text that is almost a frequency is told how to write it.
#include "model/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

double mhz_of(const std::string& text)
{
    double mhz = -1.0;
    const std::optional<std::string> why = read_frequency_mhz(text, &mhz);
    EXPECT_FALSE(why) << text << ": " << why.value_or("");
    return mhz;
}

std::string refusal(const std::string& text)
{
    double mhz = 0.0;
    return read_frequency_mhz(text, &mhz).value_or("(read as " + number_text(mhz) + ")");
}

}  // namespace

TEST(FrequencyText, EveryUnitGivesTheVeryNumberABareMegahertzGives)
{
    for (const char* text : {"4321", "4321MHz", "4321mhz", "4.321GHz", "4.321ghz", "4321000000Hz", "4321000kHz",
                             "4321000KHZ", "0.004321e3GHz", "432.1e1MHz", "4321e+6Hz"})
        EXPECT_EQ(mhz_of(text), 4321.0) << text;
    // Exactly the double "4300.25" reads as, not 4.30025 x 1000 with its rounding.
    EXPECT_EQ(mhz_of("4.30025GHz"), 4300.25);
    EXPECT_EQ(mhz_of("4.3000000001GHz"), mhz_of("4300.0000001"));
    EXPECT_EQ(mhz_of("250kHz"), 0.25);
    EXPECT_EQ(mhz_of("-250kHz"), -0.25) << "a step down";
    EXPECT_EQ(mhz_of("1Hz"), 1e-6);
}

TEST(FrequencyText, WhatIsNoFrequencyIsRefusedSayingWhatWouldBe)
{
    EXPECT_EQ(refusal("4.3 GHz"), "write 4.3GHz or 4300");
    EXPECT_EQ(refusal("4.3G"), "write 4.3GHz or 4300");
    EXPECT_EQ(refusal("4321 MHz"), "write 4321MHz or 4321");
    EXPECT_EQ(refusal("25 k"), "write 25kHz or 0.025");
    for (const char* text : {"", "GHz", "MHz4321", "4321MHzz", "4321 Mhz x", "4321Hz5", "nan", "infMHz", "1e400",
                             "4,3GHz", "4.3.1GHz", "1e999999999GHz", "0x10MHz", "+4321MHz"})
        EXPECT_NE(refusal(text).rfind("write", 0), 0u) << text << " is no frequency at all: " << refusal(text);
    EXPECT_EQ(refusal("1e400MHz"), "beyond the range of numbers");
    EXPECT_EQ(refusal("1e306GHz"), "beyond the range of numbers") << "within doubles until the unit scales it";
    EXPECT_EQ(refusal("1e99999999999999999999GHz"), "beyond the range of numbers");
}
