// The frequency arithmetic, the solved-register truncation and the toggle pattern.
#include "model/frequency.h"
#include "app/toggle_rows.h"
#include "model/unsigned_truncation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(UnsignedTruncation, TruncatesTowardZeroAndKeepsTheLow32Bits)
{
    EXPECT_EQ(truncate_unsigned(7.999999), 7u);
    EXPECT_EQ(truncate_unsigned(0.0), 0u);
    EXPECT_EQ(truncate_unsigned(-0.5), 0u) << "between -1 and 0";
    EXPECT_EQ(truncate_unsigned(-1.0), 4294967295u) << "a target of 0 gives this M";
    EXPECT_EQ(truncate_unsigned(-2.5), 4294967294u);
    EXPECT_EQ(truncate_unsigned(4294967296.0 + 5.0), 5u);
    EXPECT_EQ(truncate_unsigned(9223372036854774784.0), 4294966272u) << "largest double below 2^63";
}

TEST(UnsignedTruncation, UnrepresentableQuotientsGiveZero)
{
    EXPECT_EQ(truncate_unsigned(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(truncate_unsigned(std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(truncate_unsigned(-std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(truncate_unsigned(9223372036854775808.0), 0u) << "2^63";
    EXPECT_EQ(truncate_unsigned(-9223372036854777856.0), 0u) << "below -2^63";
    EXPECT_EQ(truncate_unsigned(1e300), 0u);
}

TEST(UnsignedTruncation, ProductWithTheReciprocalIsNotADivision)
{
    // Fc = 100 / 3 and a target of 4000 MHz: x * (1/P) - 1 lands on 11, x / P - 1 a hair below it.
    const double fc = 100.0 / 3.0;
    const double x = 4000.0 / fc;
    EXPECT_EQ(truncate_unsigned(x * (1.0 / 10) - 1.0), 11u);
    EXPECT_EQ(truncate_unsigned(x / 10 - 1.0), 10u);
}

TEST(Frequencies, FirstStartOnTheResourceDefaults)
{
    // Prescaler bypassed: 100 / (1 + 1) x (7 + 1).
    const FrequencyResult f = compute_frequencies(100.0, 1, 7, 0, 0, 1, 0);
    EXPECT_EQ(f.fc, 50.0);
    EXPECT_EQ(f.fin, 400.0);
    EXPECT_EQ(f.n, 8.0);
    EXPECT_EQ(f.fp, 50.0);
}

TEST(Frequencies, PrescalerInUse)
{
    EXPECT_EQ(compute_frequencies(100.0, 1, 7, 0, 0, 10, 0).fin, 4000.0);
    EXPECT_EQ(compute_frequencies(100.0, 1, 7, 3, 0, 10, 0).fin, 4150.0);
    EXPECT_EQ(compute_frequencies(100.0, 1, 7, 0, 0, 5, 0).fin, 2000.0);
}

TEST(Frequencies, FractionalTermTakesKAboveTheDitherBit)
{
    const FrequencyResult f = compute_frequencies(100.0, 1, 7, 3, 131072, 10, 1);
    EXPECT_EQ(f.n, 83.50000190734863);
    EXPECT_EQ(f.fin, 50.0 * (83.0 + 262145.0 / 524288.0));
    EXPECT_NEAR(f.fin, 4175.000095, 5e-7);
    // Bypass with K 5: N = 5 + 10 / 524288.
    EXPECT_EQ(compute_frequencies(100.0, 1, 4, 0, 5, 1, 0).n, 5.0 + 10.0 / 524288.0);
}

TEST(Frequencies, AZeroReferenceGivesZeroAndANotANumberRatio)
{
    const FrequencyResult f = compute_frequencies(0.0, 1, 7, 0, 0, 10, 0);
    EXPECT_EQ(f.fc, 0.0);
    EXPECT_EQ(f.fin, 0.0);
    EXPECT_TRUE(std::isnan(f.n));
    EXPECT_EQ(f.fp, 0.0);
}

TEST(TogglePattern, IsTheBinaryFormWithinTheWidth)
{
    EXPECT_EQ(toggle_pattern(33, 6), 0b100001u);
    EXPECT_EQ(toggle_pattern(200, 8), 0b11001000u);
    EXPECT_EQ(toggle_pattern(131073, 18), (1u << 17) | 1u);
    EXPECT_EQ(toggle_pattern(0, 9), 0u);
}

TEST(TogglePattern, ATooLargeValueTurnsEveryToggleOn)
{
    EXPECT_EQ(toggle_pattern(64, 6), 0b111111u);
    EXPECT_EQ(toggle_pattern(4294967295u, 9), 0x1FFu);
    EXPECT_EQ(toggle_pattern(256, 8), 0xFFu);
}
