// The frequencies of a sweep as typed or listed, everything refused before a
// point is planned, and the points solved from one set of settings.
#include "model/calculation.h"
#include "model/quoted_input.h"
#include "model/sweep_plan.h"

#include <gtest/gtest.h>

namespace {

const FrequencyField kOutFreq{0.0, 5000.0, "Out Freq (MHz)"};

std::vector<double> band(const char* start, const char* stop, const char* step)
{
    const SweepFrequencies f = band_frequencies(start, stop, step, kOutFreq);
    EXPECT_FALSE(f.refusal) << f.refusal->why;
    return f.mhz;
}

SweepRefusal band_refusal(const char* start, const char* stop, const char* step)
{
    const SweepFrequencies f = band_frequencies(start, stop, step, kOutFreq);
    EXPECT_TRUE(f.mhz.empty());
    return f.refusal.value_or(SweepRefusal{SweepInput::Start, 0, "", "not refused"});
}

SweepRefusal list_refusal(const char* text)
{
    const SweepFrequencies f = list_frequencies(text, kOutFreq);
    EXPECT_TRUE(f.mhz.empty());
    return f.refusal.value_or(SweepRefusal{SweepInput::Start, 0, "", "not refused"});
}

}  // namespace

TEST(SweepBand, PointsAreTheFrequenciesAsTypedUpToAndIncludingTheStop)
{
    EXPECT_EQ(band("4000", "4001", "0.1"), (std::vector<double>{4000, 4000.1, 4000.2, 4000.3, 4000.4, 4000.5, 4000.6,
                                                                4000.7, 4000.8, 4000.9, 4001}))
        << "4000 + 3 x 0.1 is the 4000.3 an operator would type, and the stop is reached";
    EXPECT_EQ(band("4010", "4000", "-2.5"), (std::vector<double>{4010, 4007.5, 4005, 4002.5, 4000})) << "downwards";
    EXPECT_EQ(band("4000", "4001", "0.3"), (std::vector<double>{4000, 4000.3, 4000.6, 4000.9}))
        << "a stop between two steps is not passed";
    EXPECT_EQ(band("1234.5", "1234.5", "-7"), std::vector<double>{1234.5}) << "one point, whichever way the step";
    EXPECT_EQ(band(" 0 ", "5000", "50").size(), 101u) << "the field's whole range, blanks round a number ignored";
    EXPECT_EQ(band("0", "4999.95", "0.05").size(), 100000u) << "the most points a sweep may have";
}

TEST(SweepBand, RefusedInputsAreNamed)
{
    SweepRefusal r = band_refusal("4000", "4100", "0");
    EXPECT_EQ(r.input, SweepInput::Step);
    EXPECT_EQ(r.why, "a step of 0 never reaches the stop frequency");

    r = band_refusal("4000", "4100", "-1");
    EXPECT_EQ(r.input, SweepInput::Step);
    EXPECT_EQ(r.why, "points away from the stop frequency 4100");
    EXPECT_EQ(band_refusal("4100", "4000", "1").why, "points away from the stop frequency 4000");

    r = band_refusal("0", "5000", "0.01");
    EXPECT_EQ(r.input, SweepInput::Step);
    EXPECT_EQ(r.why, "gives 500001 points, more than the 100000 a sweep may have");
    EXPECT_EQ(band_refusal("0", "5000", "1e-300").why, "gives so many points, more than the 100000 a sweep may have")
        << "no count overflows";

    r = band_refusal("-1", "4000", "1");
    EXPECT_EQ(r.input, SweepInput::Start);
    EXPECT_EQ(r.text, "-1");
    EXPECT_EQ(r.why, "outside 0 to 5000, the range of the field \"Out Freq (MHz)\"");
    EXPECT_EQ(band_refusal("4000", "5000.5", "1").input, SweepInput::Stop);

    for (const char* bad : {"", "4o00", "4000 MHz", "nan", "inf", "1e999"}) {
        r = band_refusal(bad, "4000", "1");
        EXPECT_EQ(r.input, SweepInput::Start) << bad;
        EXPECT_EQ(r.text, bad) << "the text as typed";
    }
    EXPECT_EQ(band_refusal("4000", "4100", "x").input, SweepInput::Step);
    EXPECT_EQ(band_refusal("4000", "4100", "inf").why, "not a number");
}

TEST(SweepList, OneFrequencyALineOrTheFirstColumnOfACsvFile)
{
    const SweepFrequencies f = list_frequencies(
        "\xEF\xBB\xBF" "requested_mhz,achieved_mhz\r\n4000,4000.0000000\r\n\r\n# a comment\r\n  4100.5 , x\r\n"
        "\"4321\",y\r\n3000",
        kOutFreq);
    ASSERT_FALSE(f.refusal) << f.refusal->why;
    EXPECT_EQ(f.mhz, (std::vector<double>{4000, 4100.5, 4321, 3000}))
        << "byte-order mark, header, Windows line ends, blank and comment lines, quotes, no last line end";
    EXPECT_EQ(list_frequencies("4000\n4000\n4000\n", kOutFreq).mhz.size(), 3u) << "a frequency may come again";
}

TEST(SweepList, ALineThatIsNoFrequencyIsRefusedWithItsNumber)
{
    SweepRefusal r = list_refusal("4000\n4010\n\n40x0\n4030\n");
    EXPECT_EQ(r.input, SweepInput::List);
    EXPECT_EQ(r.line, 4u) << "lines are counted as an editor counts them, blank ones too";
    EXPECT_EQ(r.text, "40x0");
    EXPECT_EQ(r.why, "not a number");

    r = list_refusal("4000\nfrequency\n");
    EXPECT_EQ(r.line, 2u) << "only the first line may be a header";
    r = list_refusal("4000\n6000\n");
    EXPECT_EQ(r.line, 2u);
    EXPECT_EQ(r.why, "outside 0 to 5000, the range of the field \"Out Freq (MHz)\"");
    r = list_refusal("4o00,1\n4000\n");
    EXPECT_EQ(r.line, 1u) << "a first cell with a digit in it is no header but a mistyped frequency";

    r = list_refusal("# nothing\n\nMHz\n");
    EXPECT_EQ(r.line, 0u);
    EXPECT_EQ(r.why, "no frequency in it");

    std::string many;
    for (std::size_t i = 0; i <= kMaxSweepPoints; ++i)
        many += "4000\n";
    r = list_refusal(many.c_str());
    EXPECT_EQ(r.line, kMaxSweepPoints + 1);
    EXPECT_EQ(r.why, "more than the 100000 points a sweep may have");
}

TEST(SweepPlan, EachPointIsSolvedFromTheSameSettingsAsATypedTarget)
{
    RegisterSet settings;
    settings.N_flag = ZR3500;
    settings.ref_freq = 100.0;
    settings.R_reg = 1;
    settings.M_reg = 7;
    settings.MASH = 1;
    settings.LNM = 0;
    // A stale Fc, as the panel may hold after restoring a state: the plan recomputes first.
    settings.fc = 12.5;
    settings.temp_pll_freq = 4321.0;
    const SweepPlan plan = plan_sweep(settings, {4321.0, 4000.5, 4321.0});
    ASSERT_EQ(plan.points.size(), 3u);
    EXPECT_EQ(plan.settings.fc, 50.0);

    for (const SweepPoint& p : plan.points) {
        RegisterSet typed = settings;
        recompute(typed);
        solve_typed_target(typed, p.requested_mhz);
        EXPECT_EQ(p.achieved_mhz, typed.new_pll_freq) << p.requested_mhz;
        EXPECT_EQ(p.M, typed.M_reg);
        EXPECT_EQ(p.A, typed.A_reg);
        EXPECT_EQ(p.K, typed.K_reg);
        EXPECT_EQ(p.R, 1u);
    }
    // The bench's worked example: 4321 MHz on the fractional part, MASH 1-1, LNM out.
    EXPECT_EQ(plan.points[0].M, 7u);
    EXPECT_EQ(plan.points[0].A, 6u);
    EXPECT_EQ(plan.points[0].K, 110100u);
    EXPECT_NEAR(plan.points[0].error_hz, -91.553, 0.001);
    EXPECT_EQ(plan.points[2].K, plan.points[0].K) << "a point does not start from the one before it";

    const RegisterSet shown = settings_at(plan, plan.points[1]);
    EXPECT_EQ(shown.new_pll_freq, plan.points[1].achieved_mhz) << "the panel on a point shows the point's Fin";
}

TEST(SweepList, WhatCannotBeAListIsRefusedBeforeAnyLineIsReadAndQuotedShort)
{
    const FrequencyField field{0.0, 5000.0, "Out Freq (MHz)"};
    const SweepFrequencies long_line = list_frequencies("4000\n" + std::string(kListLineLimit + 1, '4'), field);
    ASSERT_TRUE(long_line.refusal);
    EXPECT_EQ(long_line.refusal->line, 2u);
    EXPECT_EQ(long_line.refusal->why, "the line holds 1025 bytes, more than the 1024 a list line may have");
    EXPECT_LT(long_line.refusal->text.size(), 60u) << "the line is not quoted whole";
    EXPECT_TRUE(list_frequencies(std::string(kListLineLimit, ' ') + "\n4000", field).mhz.size() == 1)
        << "a line at the limit is read";
    const SweepFrequencies large = list_frequencies(std::string(kListFileLimit + 1, '\n'), field);
    ASSERT_TRUE(large.refusal);
    EXPECT_EQ(large.refusal->why, "it holds 16777217 bytes, more than the 16 MiB a list may have");

    // Control characters, a NUL and bytes that are not UTF-8 come back escaped, on one line.
    const SweepFrequencies odd = list_frequencies(std::string("4000\n4\x01\0\xff\tx\n", 12), field);
    ASSERT_TRUE(odd.refusal);
    EXPECT_EQ(odd.refusal->text, "4\\x01\\0\\xFF\\tx");
    EXPECT_EQ(quoted_input("caf\xC3\xA9 \"1\""), "\"caf\xC3\xA9 \\\"1\\\"\"") << "UTF-8 stays, quotes are escaped";
    EXPECT_EQ(quoted_input(std::string(100, '7'), 5), "\"77777...\" (100 bytes)");
}
