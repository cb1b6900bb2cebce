// The nearest channel against a search of every setting the registers can hold,
// judged by the recompute; ties, carries, the gaps the range rules leave, and
// the line that names the nearest channel after a truncating solve.
#include "model/calculation.h"
#include "model/nearest_channel.h"
#include "model/prescaler_setting.h"
#include "model/solve_outcome.h"
#include "support/register_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace {

RegisterSet settings_of(int part, PrescalerSetting p, int MASH, int LNM, int RAND_EN, uint32_t R)
{
    RegisterSet r;
    r.N_flag = part;
    r.ref_freq = 100.0;
    r.R_reg = R;
    r.M_reg = 7;
    r.MASH = MASH;
    r.LNM = LNM;
    r.RAND_EN = RAND_EN;
    set_prescaler(r, p);
    recompute(r);
    return r;
}

struct Found {
    double fin = NAN;
    uint32_t M = 0, A = 0, K = 0;
};

// Of every setting the registers hold, the nearest; of two equally close, the lower.
Found searched_nearest(const RegisterSet& settings, double target)
{
    Found best;
    search_registers(settings, target, [&](const RegisterSet& r, uint32_t K, double fin) {
        const double d = std::abs(fin - target), bd = std::abs(best.fin - target);
        if (std::isnan(best.fin) || d < bd || (d == bd && fin < best.fin))
            best = {fin, r.M_reg, r.A_reg, K};
    });
    return best;
}

std::string describe(const RegisterSet& s)
{
    std::ostringstream o;
    o << "part " << s.N_flag << ", R " << s.R_reg << ", prescaler_en " << s.prescaler_en << ", Mod Select "
      << s.MOD_SEL << ", MASH " << s.MASH << ", LNM " << s.LNM << ", dither " << s.RAND_EN;
    return o.str();
}

void expect_nearest_as_searched(const RegisterSet& settings, const std::vector<double>& targets)
{
    const ReachableCounters reachable = reachable_counters(settings);
    for (double target : targets) {
        RegisterSet nearest = settings;
        const SolvedRegisters written = solve_nearest_channel(nearest, target, reachable);
        const Found found = searched_nearest(settings, target);
        EXPECT_EQ(nearest.new_pll_freq, found.fin) << describe(settings) << ": target " << target;
        EXPECT_EQ(written.M, nearest.M_reg) << "the rules keep the registers as written";
        EXPECT_EQ(written.A, nearest.A_reg);
        EXPECT_EQ(written.K, nearest.K_reg);

        RegisterSet truncated = settings;
        solve_typed_target(truncated, target);
        EXPECT_LE(std::abs(nearest.new_pll_freq - target), std::abs(truncated.new_pll_freq - target))
            << describe(settings) << ": target " << target;
    }
}

const std::vector<PrescalerSetting> kPrescalers = {PrescalerSetting::Modulus10_11, PrescalerSetting::Modulus5_6,
                                                   PrescalerSetting::Bypassed};

}  // namespace

TEST(NearestChannel, IntegerPartMatchesTheSearchOnAGridOfTargets)
{
    const std::vector<double> targets = {-5,     0,      99.9,    1000.1,  1024.7, 2222.22, 3210.987654,
                                         4025.0, 4321.0, 4999.99, 7777.7,  25500,  300000};
    for (PrescalerSetting p : kPrescalers)
        for (uint32_t R : {1u, 2u})
            expect_nearest_as_searched(settings_of(ZR3100, p, 1, 1, 0, R), targets);
}

TEST(NearestChannel, FractionalPartMatchesTheSearchOnAGridOfTargets)
{
    const std::vector<double> targets = {-5, 150.00001, 1000.1, 2222.22, 3210.987654, 4321.0, 4321.3, 4999.99, 300000};
    for (PrescalerSetting p : kPrescalers) {
        for (int MASH : {0, 1})
            for (int LNM : {0, 1})
                expect_nearest_as_searched(settings_of(ZR3500, p, MASH, LNM, 0, MASH == LNM ? 1 : 2), targets);
        expect_nearest_as_searched(settings_of(ZR3500, p, 1, 0, 1, 1), targets);
    }
}

TEST(NearestChannel, TiesGoToTheLowerChannel)
{
    // ZR3100, Fc 50 MHz: 4025 MHz lies halfway between 4000 and 4050.
    RegisterSet r = settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0, 1);
    solve_nearest_channel(r, 4025.0);
    EXPECT_EQ(r.new_pll_freq, 4000.0);
    solve_nearest_channel(r, std::nextafter(4025.0, 5000.0));
    EXPECT_EQ(r.new_pll_freq, 4050.0) << "a hair above halfway";

    // ZR3500: halfway between K 110100 and 110101 above N 86, exact in binary.
    const double halfway = (86.0 + 220201.0 / 524288.0) * 50.0;
    r = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 1, 1, 0, 1);
    solve_nearest_channel(r, halfway);
    EXPECT_EQ(r.K_reg, 110100u);
    solve_nearest_channel(r, std::nextafter(halfway, 5000.0));
    EXPECT_EQ(r.K_reg, 110101u);
}

TEST(NearestChannel, KCarriesIntoAAndM)
{
    // ZR3500, R 7 (Fc 12.5 MHz), MASH 1-1, LNM in. Just below N 328 the next
    // channel up is 328 itself, K 0 with A carried: M 31, A 8.
    RegisterSet r = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 1, 1, 0, 7);
    solve_nearest_channel(r, 12.5 * 327.9999999);
    EXPECT_EQ(r.M_reg, 31u);
    EXPECT_EQ(r.A_reg, 8u);
    EXPECT_EQ(r.K_reg, 0u);
    EXPECT_EQ(r.new_pll_freq, 4100.0);

    // Just below N 330: A carried into M, M 32, A 0.
    solve_nearest_channel(r, 12.5 * 329.9999999);
    EXPECT_EQ(r.M_reg, 32u);
    EXPECT_EQ(r.A_reg, 0u);
    EXPECT_EQ(r.K_reg, 0u);

    // Dither on: every channel has a fractional term, and N 330 + 1/2^19 is M 31,
    // A 10, since the modulator with the jumper in wants A of 1 or more.
    r = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 1, 1, 1, 7);
    solve_nearest_channel(r, 12.5 * (330.0 + 1.5 / 524288.0));
    EXPECT_EQ(r.M_reg, 31u);
    EXPECT_EQ(r.A_reg, 10u);
    EXPECT_EQ(r.K_reg, 0u);
    // Exactly on N 330, 1/2^19 from the channels either side: the lower, the top
    // channel of N 329.
    solve_nearest_channel(r, 12.5 * 330.0);
    EXPECT_EQ(r.M_reg, 31u);
    EXPECT_EQ(r.A_reg, 9u);
    EXPECT_EQ(r.K_reg, 262143u);
}

TEST(NearestChannel, CrossesAGapTheRangeRulesLeave)
{
    // ZR3500, MASH 1-1-1, LNM out, R 1, prescaler 10/11: 4321 MHz (N 86.42) solves
    // by truncation to M 7, A 6, and the rule for M 7 lowers A to 4: 4221 MHz.
    // With K 0 the integer rule holds instead, and M 7, A 6 give 4300 MHz.
    RegisterSet truncated = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 0, 0, 0, 1);
    RegisterSet nearest = truncated;
    solve_typed_target(truncated, 4321.0);
    EXPECT_NEAR(truncated.new_pll_freq, 4220.9999084, 5e-8);
    solve_nearest_channel(nearest, 4321.0);
    EXPECT_EQ(nearest.new_pll_freq, 4300.0);
    EXPECT_EQ(nearest.M_reg, 7u);
    EXPECT_EQ(nearest.A_reg, 6u);
    EXPECT_EQ(nearest.K_reg, 0u);
}

TEST(NearestChannel, ATargetThatIsNoNumberIsSolvedByTruncation)
{
    RegisterSet nearest = settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0, 1);
    RegisterSet truncated = nearest;
    solve_nearest_channel(nearest, NAN);
    solve_typed_target(truncated, NAN);
    EXPECT_EQ(nearest.M_reg, truncated.M_reg);
    EXPECT_EQ(nearest.A_reg, truncated.A_reg);
}

TEST(NearestChannelHint, NamesTheChannelAboveAndTheArrowThatReachesIt)
{
    // ZR3100, Fc 50 MHz: 4049 MHz truncates to 4000; 4050 is 1 MHz away, one arrow up.
    RegisterSet r = settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0, 1);
    solve_typed_target(r, 4049.0);
    std::optional<NearestChannelHint> hint = nearest_channel_hint(r, 4049.0);
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->nearest_mhz, 4050.0);
    EXPECT_EQ(hint->arrow, ArrowStep::Up);
    EXPECT_EQ(nearest_channel_text(*hint), "nearest channel 4050.000000 MHz, +1 MHz: arrow up");

    // Less than half a channel above 4000: truncation gave the nearest.
    r = settings_of(ZR3100, PrescalerSetting::Modulus10_11, 1, 1, 0, 1);
    solve_typed_target(r, 4020.0);
    EXPECT_FALSE(nearest_channel_hint(r, 4020.0));

    // ZR3500: more than half a K step below; the arrow moves a whole Fc, not a K step.
    r = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 1, 1, 0, 1);
    solve_typed_target(r, 4321.00007);
    hint = nearest_channel_hint(r, 4321.00007);
    ASSERT_TRUE(hint);
    EXPECT_EQ(nearest_channel_text(*hint), "nearest channel 4321.000099 MHz, +0.000029 MHz");
}

TEST(NearestChannelHint, NamesNoArrowWhereTheRulesTurnTheStepBack)
{
    // The gap of MASH 1-1-1 with the jumper out: an arrow up from 4220.999908 MHz
    // solves M 7, A 5, which the rule lowers to A 4 again.
    RegisterSet r = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 0, 0, 0, 1);
    solve_typed_target(r, 4321.0);
    const std::optional<NearestChannelHint> hint = nearest_channel_hint(r, 4321.0);
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->arrow, ArrowStep::None);
    EXPECT_EQ(nearest_channel_text(*hint), "nearest channel 4300.000000 MHz, -21 MHz");

    // Fr 1 MHz, R 63: a K step is 15625 Hz / 2^18 = 0.0596 Hz; 0.04 Hz above 50 MHz
    // the channel above is 0.0196 Hz away, said in Hz.
    r = settings_of(ZR3500, PrescalerSetting::Modulus10_11, 1, 0, 0, 63);
    r.ref_freq = 1.0;
    recompute(r);
    solve_typed_target(r, 50.00000004);
    const std::optional<NearestChannelHint> fine = nearest_channel_hint(r, 50.00000004);
    ASSERT_TRUE(fine);
    EXPECT_EQ(nearest_channel_text(*fine), "nearest channel 50.000000 MHz, +0.020 Hz");
}
