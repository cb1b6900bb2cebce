// The range rules of M and A, checked against the bench cases of each configuration.
#include "model/range_rules.h"

#include <gtest/gtest.h>

namespace {

struct RuleCase {
    const char* what;
    Counters in;
    Counters out;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.what; }

}  // namespace

TEST(IntegerRule, KeepsMInOneTo511)
{
    EXPECT_EQ(apply_integer_rule({0, 0}, 0), (Counters{1, 0}));
    EXPECT_EQ(apply_integer_rule({512, 0}, 0), (Counters{511, 0}));
    EXPECT_EQ(apply_integer_rule({4294967295u, 0}, 0), (Counters{511, 0}));
}

TEST(IntegerRule, AboveMPlusOneIsLimitedAfterALargeChange)
{
    // P 10, M 1, A 5: N 22 rather than the unreachable 25.
    EXPECT_EQ(apply_integer_rule({1, 5}, 0), (Counters{1, 2}));
    EXPECT_EQ(apply_integer_rule({1, 2}, 0), (Counters{1, 2}));
}

TEST(IntegerRule, AboveMPlusOneCarriesIntoTheNextMAfterAStep)
{
    // P 10, M 1, A 5 after an arrow step: M 2, A 0, N 30.
    EXPECT_EQ(apply_integer_rule({1, 5}, 1), (Counters{2, 0}));
    // The carry happens after the clamp: M 511 may become 512.
    EXPECT_EQ(apply_integer_rule({600, 515}, 1), (Counters{512, 0}));
}

class ModulatorRule : public ::testing::TestWithParam<std::tuple<int, int, int, RuleCase>> {};

TEST_P(ModulatorRule, GivesTheAllowedCounters)
{
    const auto& [MASH, P, LNM, c] = GetParam();
    EXPECT_EQ(apply_modulator_rule(c.in, MASH, P, LNM), c.out)
        << c.what << " (MASH " << MASH << ", P " << P << ", LNM " << LNM << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Mash111JumperOutP10, ModulatorRule,
    ::testing::Values(std::make_tuple(0, 10, 0, RuleCase{"M 5, A 0 gives M 6, A 3", {5, 0}, {6, 3}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M 7, A 9 gives A 4", {7, 9}, {7, 4}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M 8, A 12 gives A 9", {8, 12}, {8, 9}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M 9 leaves any A", {9, 15}, {9, 15}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M 9, A 0 stays", {9, 0}, {9, 0}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M 6 forces A 3", {6, 12}, {6, 3}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M 8, A 1 gives A 3", {8, 1}, {8, 3}}),
                      std::make_tuple(0, 10, 0, RuleCase{"M above 511", {600, 5}, {511, 5}})));

INSTANTIATE_TEST_SUITE_P(
    Mash111JumperOutP5, ModulatorRule,
    ::testing::Values(std::make_tuple(0, 5, 0, RuleCase{"M 1, A 0 gives M 3, A 3", {1, 0}, {3, 3}}),
                      std::make_tuple(0, 5, 0, RuleCase{"M 3, A 9 gives A 4", {3, 9}, {3, 4}}),
                      std::make_tuple(0, 5, 0, RuleCase{"M 3, A 2 gives A 3", {3, 2}, {3, 3}}),
                      std::make_tuple(0, 5, 0, RuleCase{"M 4 leaves any A", {4, 15}, {4, 15}})));

INSTANTIATE_TEST_SUITE_P(
    Mash111JumperIn, ModulatorRule,
    ::testing::Values(std::make_tuple(0, 10, 1, RuleCase{"A 14 gives A 11 and M 14", {1, 14}, {14, 11}}),
                      std::make_tuple(0, 5, 1, RuleCase{"A 14 gives A 11 and M 14", {20, 14}, {20, 11}}),
                      std::make_tuple(0, 10, 1, RuleCase{"A 0 gives A 3 and M 6", {0, 0}, {6, 3}}),
                      std::make_tuple(0, 5, 1, RuleCase{"M above 511", {4000, 5}, {511, 5}})));

INSTANTIATE_TEST_SUITE_P(
    Mash11JumperOut, ModulatorRule,
    ::testing::Values(std::make_tuple(1, 10, 0, RuleCase{"M 3, A 5 gives A 2", {3, 5}, {3, 2}}),
                      std::make_tuple(1, 10, 0, RuleCase{"M 5, A 0 gives A 1", {5, 0}, {5, 1}}),
                      std::make_tuple(1, 10, 0, RuleCase{"M 9, A 0 stays", {9, 0}, {9, 0}}),
                      std::make_tuple(1, 10, 0, RuleCase{"M 8, A 12 stays", {8, 12}, {8, 12}}),
                      std::make_tuple(1, 10, 0, RuleCase{"M 0 gives M 2, A 1", {0, 0}, {2, 1}}),
                      std::make_tuple(1, 5, 0, RuleCase{"M 2, A 6 gives A 1", {2, 6}, {2, 1}}),
                      std::make_tuple(1, 5, 0, RuleCase{"M 3, A 6 stays", {3, 6}, {3, 6}}),
                      std::make_tuple(1, 5, 0, RuleCase{"M 4, A 0 stays", {4, 0}, {4, 0}})));

INSTANTIATE_TEST_SUITE_P(
    Mash11JumperIn, ModulatorRule,
    ::testing::Values(std::make_tuple(1, 10, 1, RuleCase{"M 1, A 0 gives M 2, A 1", {1, 0}, {2, 1}}),
                      std::make_tuple(1, 10, 1, RuleCase{"M 3, A 5 gives A 2", {3, 5}, {3, 2}}),
                      std::make_tuple(1, 5, 1, RuleCase{"A 15 gives A 13", {100, 15}, {100, 13}}),
                      std::make_tuple(1, 5, 1, RuleCase{"M 20, A 13 stays", {20, 13}, {20, 13}})));

TEST(BypassRule, AIsZeroAndMDependsOnTheFractionalTerm)
{
    // No fractional term: M anywhere in [1, 511].
    EXPECT_EQ(apply_bypass_rule({2, 9}, 0, 0, 0), (Counters{2, 0}));
    EXPECT_EQ(apply_bypass_rule({0, 0}, 0, 0, 1), (Counters{1, 0}));
    // With K or dither: [4, 507] for MASH 1-1-1, [2, 509] for MASH 1-1.
    EXPECT_EQ(apply_bypass_rule({2, 0}, 5, 0, 0), (Counters{4, 0}));
    EXPECT_EQ(apply_bypass_rule({511, 0}, 0, 1, 0), (Counters{507, 0}));
    EXPECT_EQ(apply_bypass_rule({1, 0}, 5, 0, 1), (Counters{2, 0}));
    EXPECT_EQ(apply_bypass_rule({511, 0}, 5, 1, 1), (Counters{509, 0}));
}

TEST(RangeRules, TheConfigurationPicksTheRule)
{
    RangeSettings s;
    s.MASH = 0;
    s.modulus = 10;
    s.LNM = 0;
    s.T_flag = 1;

    s.N_flag = 1;
    s.K = 5;
    EXPECT_EQ(apply_range_rules({5, 0}, s), (Counters{6, 3})) << "fractional part with K: modulator rule";

    s.K = 0;
    EXPECT_EQ(apply_range_rules({1, 5}, s), (Counters{2, 0})) << "fractional part, K 0: integer rule";

    s.RAND_EN = 1;
    EXPECT_EQ(apply_range_rules({5, 0}, s), (Counters{6, 3})) << "fractional part, K 0 but dither on: modulator rule";
    s.RAND_EN = 0;

    s.N_flag = 0;
    s.K = 5;  // left on a hidden field: the integer part ignores it
    EXPECT_EQ(apply_range_rules({1, 5}, s), (Counters{2, 0})) << "integer part: integer rule";

    s.prescaler_en = 1;
    EXPECT_EQ(apply_range_rules({2, 7}, s), (Counters{4, 0})) << "bypass, whatever the part";
}

// A equal to M, each rule worked by hand: the integer rule allows it (A may
// reach M + 1); the second-order modulator keeps A under M with the jumper in,
// and with it out below M 8 (P 10) or M 3 (P 5); the third-order modulator with
// the jumper out limits only small M's A, and with it in wants M at least A + 3.
TEST(RangeRules, AEqualToM)
{
    struct Case {
        const char* rule;
        int MASH, P, LNM;  // MASH -1: the integer rule
        Counters in, out;
    };
    const Case cases[] = {
        {"integer", -1, 10, 0, {1, 1}, {1, 1}},
        {"integer", -1, 10, 0, {7, 7}, {7, 7}},
        {"integer", -1, 10, 0, {511, 511}, {511, 511}},
        {"MASH 1-1, jumper out, P 10", 1, 10, 0, {2, 2}, {2, 1}},
        {"MASH 1-1, jumper out, P 10", 1, 10, 0, {7, 7}, {7, 6}},
        {"MASH 1-1, jumper out, P 10", 1, 10, 0, {8, 8}, {8, 8}},
        {"MASH 1-1, jumper out, P 10", 1, 10, 0, {9, 9}, {9, 9}},
        {"MASH 1-1, jumper out, P 5", 1, 5, 0, {2, 2}, {2, 1}},
        {"MASH 1-1, jumper out, P 5", 1, 5, 0, {3, 3}, {3, 3}},
        {"MASH 1-1, jumper in", 1, 10, 1, {2, 2}, {2, 1}},
        {"MASH 1-1, jumper in", 1, 5, 1, {9, 9}, {9, 8}},
        {"MASH 1-1, jumper in", 1, 10, 1, {13, 13}, {13, 12}},
        {"MASH 1-1-1, jumper out, P 10", 0, 10, 0, {6, 6}, {6, 3}},
        {"MASH 1-1-1, jumper out, P 10", 0, 10, 0, {7, 7}, {7, 4}},
        {"MASH 1-1-1, jumper out, P 10", 0, 10, 0, {8, 8}, {8, 8}},
        {"MASH 1-1-1, jumper out, P 10", 0, 10, 0, {9, 9}, {9, 9}},
        {"MASH 1-1-1, jumper out, P 5", 0, 5, 0, {3, 3}, {3, 3}},
        {"MASH 1-1-1, jumper out, P 5", 0, 5, 0, {4, 4}, {4, 4}},
        {"MASH 1-1-1, jumper in", 0, 10, 1, {5, 5}, {8, 5}},
        {"MASH 1-1-1, jumper in", 0, 5, 1, {11, 11}, {14, 11}},
    };
    for (const Case& c : cases) {
        const Counters out = c.MASH < 0 ? apply_integer_rule(c.in, 0) : apply_modulator_rule(c.in, c.MASH, c.P, c.LNM);
        EXPECT_EQ(out, c.out) << c.rule << ": M " << c.in.M << ", A " << c.in.A << " gave M " << out.M << ", A "
                              << out.A;
        if (c.MASH < 0) {
            EXPECT_EQ(apply_integer_rule(c.in, 1), c.out) << c.rule << " after a step: nothing to carry";
        }
    }
}
