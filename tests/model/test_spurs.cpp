// The spur offsets of a setting, worked by hand for the cases a bench meets,
// and the repeat length of the modulators against a simulation of them.
#include "model/calculation.h"
#include "model/spurs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// ZR3500, Fr 100 MHz, R 1 (Fc 50 MHz), prescaler 10/11, M 7, A 6: N 86 and K's fraction.
RegisterSet fractional(uint32_t K, int RAND_EN = 0, int MASH = 1)
{
    RegisterSet r;
    r.N_flag = ZR3500;
    r.ref_freq = 100.0;
    r.R_reg = 1;
    r.M_reg = 7;
    r.A_reg = 6;
    r.K_reg = K;
    r.RAND_EN = RAND_EN;
    r.MASH = MASH;
    r.LNM = 1;
    recompute(r);
    return r;
}

// The period of the divide-ratio sequence of a MASH modulator of `order`
// first-order stages, accumulators 2^19 wide started at 0, for the input x: the
// state's period, then the shortest divisor of it that the output repeats with.
uint64_t mash_period(int order, uint64_t x)
{
    constexpr uint64_t kWhole = uint64_t{1} << 19;
    uint64_t e1 = 0, e2 = 0, e3 = 0, c2_1 = 0, c3_1 = 0, c3_2 = 0;
    std::vector<int64_t> y;
    do {
        const uint64_t s1 = e1 + x, c1 = s1 / kWhole;
        e1 = s1 % kWhole;
        const uint64_t s2 = e2 + e1, c2 = s2 / kWhole;
        e2 = s2 % kWhole;
        uint64_t c3 = 0;
        if (order == 3) {
            const uint64_t s3 = e3 + e2;
            c3 = s3 / kWhole;
            e3 = s3 % kWhole;
        }
        // y = c1 + (1 - z^-1) c2 + (1 - z^-1)^2 c3
        y.push_back(static_cast<int64_t>(c1 + c2 + c3 + c3_2) - static_cast<int64_t>(c2_1 + 2 * c3_1));
        c2_1 = c2;
        c3_2 = c3_1;
        c3_1 = c3;
    } while ((e1 | e2 | e3 | c2_1 | c3_1 | c3_2) != 0 && y.size() < (1u << 16));
    const uint64_t state_period = y.size();
    for (uint64_t p = 1; p <= state_period; ++p) {
        if (state_period % p != 0)
            continue;
        bool repeats = true;
        for (uint64_t i = p; i < state_period && repeats; ++i)
            repeats = y[i] == y[i % p];
        if (repeats)
            return p;
    }
    return state_period;
}

}  // namespace

TEST(Spurs, AnIntegerChannelHasNone)
{
    const SpurOffsets s = spur_offsets(fractional(0));
    EXPECT_FALSE(s.integer_boundary_hz);
    EXPECT_FALSE(s.primary_fractional_hz);
    EXPECT_FALSE(s.sub_fractional_hz);
    EXPECT_FALSE(s.spread_by_dither);
    EXPECT_EQ(s.denominator, 1u);
    EXPECT_EQ(s.modulator_order, 0) << "no fractional term, no modulator order in force";

    // ZR3100 has no fractional term whatever K a hidden field holds.
    RegisterSet r = fractional(5);
    r.N_flag = ZR3100;
    r.K_reg = 5;
    r.RAND_EN = 1;
    EXPECT_FALSE(spur_offsets(r).integer_boundary_hz);
    EXPECT_FALSE(spur_offsets(r).primary_fractional_hz);
}

TEST(Spurs, AFractionOfOneHalf)
{
    // K 2^17: 2^18 / 2^19 = 1/2, half a channel from either integer: 25 MHz, the
    // primary spur at 50 / 2 MHz, the sub-fractional one at 50 / (2 x 2) MHz.
    for (int MASH : {1, 0}) {
        const SpurOffsets s = spur_offsets(fractional(131072, 0, MASH));
        EXPECT_EQ(s.numerator, 1u);
        EXPECT_EQ(s.denominator, 2u);
        EXPECT_EQ(s.modulator_order, MASH == 1 ? 2 : 3);
        EXPECT_EQ(s.integer_boundary_hz, 25e6);
        EXPECT_EQ(s.primary_fractional_hz, 25e6);
        EXPECT_EQ(s.sub_fractional_k, 2u) << "D 2 is even, and not divisible by 3";
        EXPECT_EQ(s.sub_fractional_hz, 12.5e6);
    }
}

TEST(Spurs, KNearZeroAndNearTheTopLieCloseToTheCarrier)
{
    // K 1: 2 / 2^19 = 1 / 262144 above N 86: 50 MHz / 262144 = 190.73486328125 Hz.
    SpurOffsets s = spur_offsets(fractional(1));
    EXPECT_EQ(s.numerator, 1u);
    EXPECT_EQ(s.denominator, 262144u);
    EXPECT_EQ(s.integer_boundary_hz, 190.73486328125);
    EXPECT_EQ(s.primary_fractional_hz, 190.73486328125);
    EXPECT_EQ(s.sub_fractional_hz, 95.367431640625);

    // K 262143: (2^19 - 2) / 2^19 = 262143 / 262144, one step below N 87.
    s = spur_offsets(fractional(262143));
    EXPECT_EQ(s.numerator, 262143u);
    EXPECT_EQ(s.denominator, 262144u);
    EXPECT_EQ(s.integer_boundary_hz, 190.73486328125) << "measured to the integer above";
    EXPECT_EQ(s.primary_fractional_hz, 190.73486328125);
    EXPECT_EQ(s.sub_fractional_hz, 95.367431640625);
}

TEST(Spurs, DitherSpreadsTheFractionalSpursButNotTheIntegerBoundary)
{
    // K 0, dither on: 1 / 2^19 above N 86, 50 MHz / 524288 = 95.367431640625 Hz.
    SpurOffsets s = spur_offsets(fractional(0, 1));
    EXPECT_TRUE(s.spread_by_dither);
    EXPECT_EQ(s.denominator, 524288u);
    EXPECT_EQ(s.integer_boundary_hz, 95.367431640625);
    EXPECT_FALSE(s.primary_fractional_hz) << "spread, not at an offset";
    EXPECT_FALSE(s.sub_fractional_hz);

    // K 2^17 with dither: (2^18 + 1) / 2^19, 262143 / 524288 from N 87.
    s = spur_offsets(fractional(131072, 1));
    EXPECT_EQ(s.numerator, 262145u);
    EXPECT_EQ(s.integer_boundary_hz, 24999904.632568359375);
    EXPECT_TRUE(s.spread_by_dither);
}

TEST(Spurs, TheWorked4321MHzExample)
{
    // zrctl solve 4321 --part zr3500 --prescaler 10/11: R 1, M 7, A 6, K 110100.
    // 220200 / 2^19 = 27525 / 65536 (220200 = 8 x 27525, 27525 odd).
    const RegisterSet r = fractional(110100);
    ASSERT_NEAR(r.new_pll_freq, 4320.9999084, 5e-8);
    for (int MASH : {1, 0}) {
        const SpurOffsets s = spur_offsets(fractional(110100, 0, MASH));
        EXPECT_EQ(s.numerator, 27525u);
        EXPECT_EQ(s.denominator, 65536u);
        // 50e6 x 27525 / 65536: 4320.9999084 MHz lies 20.9999084 MHz above 86 x 50 MHz.
        EXPECT_EQ(s.integer_boundary_hz, 20999908.447265625);
        EXPECT_EQ(s.primary_fractional_hz, 762.939453125);
        EXPECT_EQ(s.sub_fractional_hz, 381.4697265625);
    }
}

TEST(Spurs, SubFractionalFactorIsTheModulatorsRepeatLengthOverD)
{
    // From the published table: a denominator of 24 gives k 2 for a second-order
    // modulator and 6 for a third-order one; odd ones none, or 3.
    EXPECT_EQ(sub_fractional_factor(2, 24), 2u);
    EXPECT_EQ(sub_fractional_factor(3, 24), 6u);
    EXPECT_EQ(sub_fractional_factor(2, 9), 1u);
    EXPECT_EQ(sub_fractional_factor(3, 9), 3u);
    EXPECT_EQ(sub_fractional_factor(3, 25), 1u);

    // Here D is a power of 2. The modulators simulated, 2^19 wide and started at
    // 0: their sequence repeats after k x D comparison periods.
    for (uint32_t K : {131072u, 65536u, 3u * 32768u, 5u * 4096u, 512u, 7u * 256u, 3u * 128u}) {
        for (int MASH : {1, 0}) {
            const SpurOffsets s = spur_offsets(fractional(K, 0, MASH));
            EXPECT_EQ(mash_period(s.modulator_order, 2u * K), uint64_t{s.sub_fractional_k} * s.denominator)
                << "K " << K << ", order " << s.modulator_order;
        }
    }
}

TEST(Spurs, TheLoopBandwidthMarksTheSpursInsideIt)
{
    const SpurOffsets s = spur_offsets(fractional(110100));
    SpursInLoop in = spurs_inside_loop(s, 1000.0);
    EXPECT_FALSE(in.integer_boundary);
    EXPECT_TRUE(in.primary_fractional);
    EXPECT_TRUE(in.sub_fractional);
    in = spurs_inside_loop(s, 500.0);
    EXPECT_FALSE(in.primary_fractional);
    EXPECT_TRUE(in.sub_fractional);
    EXPECT_TRUE(spurs_inside_loop(s, 762.939453125).primary_fractional) << "at the bandwidth counts as inside";
    EXPECT_FALSE(spurs_inside_loop(s, 100.0).any());
    EXPECT_TRUE(spurs_inside_loop(s, 30e6).integer_boundary);

    // Dither on: only the integer-boundary spur has an offset to judge.
    in = spurs_inside_loop(spur_offsets(fractional(110100, 1)), 30e6);
    EXPECT_TRUE(in.integer_boundary);
    EXPECT_FALSE(in.primary_fractional);
    EXPECT_FALSE(in.sub_fractional);
    EXPECT_FALSE(spurs_inside_loop(spur_offsets(fractional(0)), 1e12).any()) << "an integer channel has none";
}
