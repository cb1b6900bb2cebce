// The calculator's work on a register set without a panel: the branch of range
// rules, the solve and the computation, and the texts, on the bench's examples.
#include "model/calculation.h"
#include "model/solve_outcome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text_of(CalculatorText which, const RegisterSet& r)
{
    char out[200];
    format_calculator_text(which, r, out, sizeof out);
    return out;
}

// Fr 100 MHz, R 1, prescaler in use with P 10, M 7, A 0, K 0: 4000 MHz.
RegisterSet prescaler_in_use(int part)
{
    RegisterSet r;
    r.N_flag = part;
    r.ref_freq = 100.0;
    r.R_reg = 1;
    r.M_reg = 7;
    r.modulus = modulus_of(0);
    r.MASH = 1;
    r.LNM = 0;
    return r;
}

}  // namespace

TEST(Calculation, FirstStartOnTheResourceDefaults)
{
    RegisterSet r = prescaler_in_use(ZR3100);
    r.prescaler_en = 1;  // "Disable": bypassed
    EXPECT_EQ(apply_range_branch(r), Configuration::BypassInteger);
    compute_results(r);
    EXPECT_EQ(r.modulus, 1);
    EXPECT_EQ(r.new_pll_freq, 400.0);
    EXPECT_EQ(r.temp_pll_freq, 400.0);
    EXPECT_EQ(text_of(CalculatorText::SymbolicFin, r), "Fin = (M + 1) x [Fr / (R + 1)]");
    EXPECT_EQ(text_of(CalculatorText::WorkedFin, r), "Fin = [(7 + 1)] x [(100.000 / 1 + 1)] = 400.000000 MHz");
    EXPECT_EQ(text_of(CalculatorText::WorkedFp, r), "Fp = 400.000000 / (7 + 1) = 50.000 MHz");
}

TEST(Calculation, PrescalerInUseWithTheTextsFilledIn)
{
    RegisterSet r = prescaler_in_use(ZR3100);
    r.A_reg = 3;
    apply_range_branch(r);
    compute_results(r);
    EXPECT_EQ(r.new_pll_freq, 4150.0);
    EXPECT_EQ(text_of(CalculatorText::R, r), "R=1");
    EXPECT_EQ(text_of(CalculatorText::Fc, r), "Fc = 100.000 / (1 + 1) = 50.000 MHz");
    EXPECT_EQ(text_of(CalculatorText::N, r), "N=83.000000");
    EXPECT_EQ(text_of(CalculatorText::SymbolicFp, r), "Fp = Fin / [10 x (M + 1) + A]");
    EXPECT_EQ(text_of(CalculatorText::WorkedFin, r), "Fin = [10 x (7 + 1)] x (100.000 / 1 + 1)] = 4150.000000 MHz")
        << "the integer worked text names no A, while its value includes it";
}

TEST(Calculation, TypedTargetsSolveAsTheBenchExpects)
{
    // ZR3500, RAND_EN 0, typed 4321 with MASH 1-1-1 and LNM out: A is limited to 4.
    RegisterSet r = prescaler_in_use(ZR3500);
    r.MASH = 0;
    apply_range_branch(r);
    compute_results(r);
    r.new_pll_freq = 4321.0;
    solve_target(r);
    EXPECT_EQ(r.M_reg, 7u);
    EXPECT_EQ(r.A_reg, 6u);
    EXPECT_EQ(r.K_reg, 110100u);
    EXPECT_EQ(r.T_flag, 0);
    apply_range_branch(r);
    compute_results(r);
    EXPECT_EQ(r.A_reg, 4u);
    EXPECT_EQ(text_of(CalculatorText::WorkedFin, r).substr(0, 12), "Fin = [10 x ");
    EXPECT_NEAR(r.new_pll_freq, 4220.999908, 5e-7);
}

TEST(Calculation, AFreshSolveIgnoresTheArrowStepAndTheSmallChange)
{
    RegisterSet r = prescaler_in_use(ZR3100);
    apply_range_branch(r);
    compute_results(r);  // 4000 MHz
    r.new_pll_freq = 4000.2;
    RegisterSet stepped = r;
    solve_target(stepped);
    EXPECT_EQ(stepped.new_pll_freq, 4050.0) << "as the panel's arrow: one channel up";
    solve_target(r, true);
    EXPECT_EQ(r.new_pll_freq, 4000.2) << "typed far from the last one: solved as it stands";
    EXPECT_EQ(r.M_reg, 7u);
    EXPECT_EQ(r.A_reg, 0u);
    EXPECT_EQ(r.T_flag, 0);
}

TEST(Calculation, ATypedTargetIsSolvedHeldAndRecomputedAsOnThePanel)
{
    // ZR3500, MASH 1-1-1, LNM out: 4321 solves to M 7, A 6, K 110100, and the
    // recompute's modulator rule then limits A to 4.
    RegisterSet r = prescaler_in_use(ZR3500);
    r.MASH = 0;
    recompute(r);
    ASSERT_EQ(r.temp_pll_freq, 4000.0);
    const SolvedRegisters solved = solve_typed_target(r, 4321.0);
    EXPECT_EQ(solved.M, 7u);
    EXPECT_EQ(solved.A, 6u);
    EXPECT_EQ(solved.K, 110100u);
    EXPECT_EQ(r.A_reg, 4u);
    EXPECT_NEAR(r.temp_pll_freq, 4220.999908, 5e-7);

    // ZR3100, typed 0: M solves to 4294967295, which the M field holds as 511;
    // the recompute then works on 511.
    r = prescaler_in_use(ZR3100);
    recompute(r);
    const SolvedRegisters zero = solve_typed_target(r, 0.0);
    EXPECT_EQ(zero.M, 511u);
    EXPECT_EQ(zero.A, 0u);
    EXPECT_EQ(r.M_reg, 511u);
    EXPECT_EQ(r.temp_pll_freq, 256000.0) << "(511 + 1) x 10 x 50 MHz, beyond what the field shows";
}

TEST(Calculation, ARegisterFieldHoldsAllOnesBeyondItsWidth)
{
    RegisterSet r;
    r.M_reg = 4294967295u;
    r.A_reg = 16;
    r.K_reg = 262143;
    hold_in_register_widths(r);
    EXPECT_EQ(r.M_reg, 511u);
    EXPECT_EQ(r.A_reg, 15u);
    EXPECT_EQ(r.K_reg, 262143u) << "within its 18 bits: unchanged";
}

TEST(Calculation, ASolveOutcomeNamesWhatTheRulesAndTheWidthsMoved)
{
    SolveOutcome o;
    o.requested_mhz = 4321.0;
    o.achieved_mhz = 4320.999908;
    o.solved = {600, 6, 110100};  // M beyond its 9 bits, held as 511
    o.M = 507;
    o.A = 4;
    o.K = 110100;
    EXPECT_EQ(solve_outcome_text(o),
              "Asked 4321 MHz, registers give 4320.999908 MHz: -92.0 Hz (-0.021 ppm). The solver gave M 600, more "
              "than 9 bits hold: the register holds 511. M lowered from 511 to 507 by the range rules. A lowered "
              "from 6 to 4 by the range rules.");

    // The integer part has no K to change: a hidden K that differs is not named.
    o.solved = {7, 0, 5};
    o.M = 7;
    o.A = 1;
    o.K = 0;
    o.has_fractional_part = false;
    EXPECT_EQ(solve_outcome_text(o), "Asked 4321 MHz, registers give 4320.999908 MHz: -92.0 Hz (-0.021 ppm). A "
                                     "raised from 0 to 1 by the range rules.");
    const std::vector<RuleChange> c = rule_changes(7, 0, 7, 1);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_STREQ(c[0].name, "A");
    // As zrctl and the register import say it.
    EXPECT_EQ(rule_changes_text(c), "changed A 0 -> 1");
    EXPECT_EQ(rule_changes_text(rule_changes(2, 0, 6, 3)), "changed M 2 -> 6, A 0 -> 3");
    EXPECT_EQ(rule_changes_text(rule_changes(7, 6, 7, 6)), "changed nothing");
}

TEST(Calculation, ASolveOutcomeNeverShowsAValueWrappedBelowZeroAndSaysWhatIsOutOfReach)
{
    // Typed 0 on ZR3100: M solved to 0 - 1, wrapped to 4294967295 and held as 511.
    SolveOutcome o;
    o.requested_mhz = 0.0;
    o.achieved_mhz = 256000.0;
    o.solved = {4294967295u, 0, 0};
    o.M = 511;
    o.has_fractional_part = false;
    std::string text = solve_outcome_text(o);
    EXPECT_EQ(text.find("4294967295"), std::string::npos) << text;
    EXPECT_NE(text.find("The solver took M below 0: the register holds 511."), std::string::npos) << text;

    o.unreachable = "0 MHz is outside 1000 to 5000 MHz, what R 1, prescaler 10/11 reach in \"Out Freq (MHz)\"";
    EXPECT_EQ(solve_outcome_text(o), "Cannot reach the target: 0 MHz is outside 1000 to 5000 MHz, what R 1, "
                                     "prescaler 10/11 reach in \"Out Freq (MHz)\". The registers give 256000 MHz.");

    // The nearest channel, between what was achieved and what the rules changed.
    o = {};
    o.requested_mhz = 4049.0;
    o.achieved_mhz = 4000.0;
    o.solved = {7, 0, 0};
    o.M = 7;
    o.nearest = NearestChannelHint{4050.0, 1.0, ArrowStep::Up};
    EXPECT_EQ(solve_outcome_text(o), "Asked 4049 MHz, registers give 4000 MHz: -49000000.0 Hz (-12101.754 ppm); "
                                     "nearest channel 4050.000000 MHz, +1 MHz: arrow up.");
}

TEST(Calculation, SpurTextsInTheUnitThatReadsBest)
{
    SpurOffsets s;
    EXPECT_EQ(spurs_text(s), "none, N is a whole number");
    s.integer_boundary_hz = 20999908.447;
    s.primary_fractional_hz = 762.939;
    s.sub_fractional_hz = 381.4697;
    EXPECT_EQ(spurs_text(s), "integer boundary 20.999908 MHz, primary fractional 762.939 Hz, sub-fractional 381.470 Hz");
    const SpursInLoop inside = spurs_inside_loop(s, 500.0);
    EXPECT_EQ(spurs_text(s, &inside), "integer boundary 20.999908 MHz, primary fractional 762.939 Hz, sub-fractional "
                                      "381.470 Hz (inside the loop bandwidth)");
    EXPECT_EQ(spur_warnings(s, 12500.0),
              (std::vector<std::string>{"the primary fractional spur at 762.939 Hz is inside the loop bandwidth of "
                                        "12.500 kHz",
                                        "the sub-fractional spur at 381.470 Hz is inside the loop bandwidth of "
                                        "12.500 kHz"}));
    s = {};
    s.integer_boundary_hz = 95.367;
    s.spread_by_dither = true;
    EXPECT_EQ(spurs_text(s), "integer boundary 95.367 Hz; the fractional spurs are spread by dither");
}
