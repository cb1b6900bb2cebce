// The register solver as a plain function, against the relation it inverts.
#include "model/frequency.h"
#include "model/range_rules.h"
#include "model/register_set.h"
#include "model/solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

// Fr 100, R 1 (Fc 50), P 10, prescaler in use, M 7, A 0, K 0: Fin 4000.
SolverInput bench(double target)
{
    SolverInput in;
    in.target = target;
    in.last_fin = 4000.0;
    in.fc = 50.0;
    in.modulus = 10;
    in.M = 7;
    return in;
}

}  // namespace

TEST(Solver, ArrowUpMovesOneChannelUp)
{
    const SolverResult r = solve_registers(bench(4000.0 + 0.2));
    EXPECT_EQ(r.target, 4050.0);
    EXPECT_EQ(r.M, 7u);
    EXPECT_EQ(r.A, 1u);
    EXPECT_EQ(r.T_flag, 1);
}

TEST(Solver, ArrowDownFrom4000LandsThreeChannelsDown)
{
    // One channel down is 3950 MHz (x 79): M 6, A 9, and A is limited to M + 1.
    const SolverResult r = solve_registers(bench(4000.0 - 0.2));
    EXPECT_EQ(r.target, 3950.0);
    EXPECT_EQ(r.M, 6u);
    EXPECT_EQ(r.A, 7u);
    EXPECT_EQ(r.T_flag, 1);
    EXPECT_EQ(division_ratio(r.M, r.A, 0, 10, 0), 77.0) << "3850 MHz";
}

TEST(Solver, LargeChangesSolveMAndAAfresh)
{
    SolverInput in = bench(4321.0);
    in.T_flag = 1;
    SolverResult r = solve_registers(in);
    EXPECT_EQ(r.M, 7u);
    EXPECT_EQ(r.A, 6u);
    EXPECT_EQ(r.K, 0u);
    EXPECT_EQ(r.T_flag, 0);
    EXPECT_EQ(r.target, 4321.0);

    r = solve_registers(bench(3000.0));
    EXPECT_EQ(r.M, 5u);
    EXPECT_EQ(r.A, 0u);
    EXPECT_EQ(r.T_flag, 0);
}

TEST(Solver, SmallChangesKeepMAndAAndTheStepFlag)
{
    SolverInput in = bench(4000.5);
    in.T_flag = 1;
    const SolverResult r = solve_registers(in);
    EXPECT_EQ(r.M, 7u);
    EXPECT_EQ(r.A, 0u);
    EXPECT_EQ(r.K, 0u);
    EXPECT_EQ(r.T_flag, 1);
    EXPECT_EQ(r.target, 4000.5);
}

TEST(Solver, FractionalPartSolvesK)
{
    SolverInput in = bench(4321.0);
    in.N_flag = 1;
    const SolverResult r = solve_registers(in);
    EXPECT_EQ(r.M, 7u);
    EXPECT_EQ(r.A, 6u);
    EXPECT_EQ(r.K, 110100u);
}

TEST(Solver, FractionalSmallChangeSolvesOnlyK)
{
    // R 3: Fc 25 MHz, M 15, A 0, K 0 give 4000 MHz.
    SolverInput in = bench(4000.5);
    in.fc = 25.0;
    in.M = 15;
    in.N_flag = 1;
    SolverResult r = solve_registers(in);
    EXPECT_EQ(r.M, 15u);
    EXPECT_EQ(r.A, 0u);
    EXPECT_EQ(r.K, 5242u);

    in.target = 4321.0;
    r = solve_registers(in);
    EXPECT_EQ(r.M, 16u);
    EXPECT_EQ(r.A, 2u);
    EXPECT_EQ(r.K, 220200u);
}

TEST(Solver, ASmallDownwardChangeBelowMAndAWrapsK)
{
    // 3999.5 MHz is below what M 15, A 0 give: K's quotient is negative.
    SolverInput in = bench(3999.5);
    in.fc = 25.0;
    in.M = 15;
    in.N_flag = 1;
    const SolverResult r = solve_registers(in);
    EXPECT_EQ(r.M, 15u);
    // ((159.98 - 160) x 524288) / 2 = -5242.88: truncated toward zero, then its low 32 bits.
    EXPECT_EQ(r.K, 4294967296u - 5242u);
}

TEST(Solver, ATargetOfZero)
{
    SolverResult r = solve_registers(bench(0.0));
    EXPECT_EQ(r.M, 4294967295u) << "the quotient for M is exactly -1";
    EXPECT_EQ(r.A, 0u);

    SolverInput in = bench(0.0);
    in.N_flag = 1;
    r = solve_registers(in);
    EXPECT_EQ(r.M, 511u) << "the fractional part limits M";
    EXPECT_EQ(r.A, 0u);
    EXPECT_EQ(r.K, 0u);
}

TEST(Solver, FractionalLimitsByPrescalerAndMash)
{
    SolverInput in = bench(0.0);
    in.N_flag = 1;
    in.modulus = 1;
    in.prescaler_en = 1;
    in.last_fin = 400.0;
    in.target = 1202.0;  // x 24.04: M 23, K 10485
    in.MASH = 0;
    SolverResult r = solve_registers(in);
    EXPECT_EQ(r.M, 23u);
    EXPECT_EQ(r.A, 0u);
    EXPECT_EQ(r.K, 10485u);

    in.target = 101.0;  // x 2.02: M 1, K non-zero: [4, 507] for MASH 1-1-1, [2, 509] for 1-1
    r = solve_registers(in);
    EXPECT_EQ(r.M, 4u);
    in.MASH = 1;
    r = solve_registers(in);
    EXPECT_EQ(r.M, 2u);
    in.target = 100.0;  // x 2: K 0 gives the prescaler's limits, [1, 511]
    r = solve_registers(in);
    EXPECT_EQ(r.K, 0u);
    EXPECT_EQ(r.M, 1u);
}

TEST(Solver, TheReciprocalOfPNotADivision)
{
    SolverInput in = bench(4000.0);
    in.fc = 100.0 / 3.0;
    in.last_fin = 0.0;
    EXPECT_EQ(solve_registers(in).M, 11u);
}

// Every N that the integer part can reach, typed as the frequency it gives, solves
// back to the same N once the range rules of the next computation have run. Two
// kinds of N cannot come back, both of them consequences of truncating:
// - above 512 x P, reachable only as M 511 with A of P or more: the solver takes
//   the smallest A, needs an M above 511, and the clamp to 511 leaves 512 x P + A;
// - where Fc is not exact in binary (100/3, 100/7 MHz), Fin / Fc can fall a hair
//   below N: the quotient is truncated, never rounded, and N - 1 comes back.
TEST(Solver, EveryReachableIntegerRatioComesBack)
{
    struct Setting {
        double fr;
        uint32_t R;
        int P;
    };
    for (const Setting s : {Setting{100, 1, 10}, Setting{100, 0, 10}, Setting{100, 1, 5}, Setting{10, 0, 1},
                            Setting{100, 2, 10}, Setting{100, 6, 5}, Setting{1, 63, 10}}) {
        std::set<uint32_t> reachable;
        for (uint32_t M = 1; M <= 511; ++M)
            for (uint32_t A = 0; A <= (s.P == 1 ? 0u : 15u); ++A)
                if (s.P == 1 || apply_integer_rule({M, A}, 0) == Counters{M, A})
                    reachable.insert(s.P * (M + 1) + A);
        const double fc = s.fr / (s.R + 1.0);
        const bool fc_exact = fc * (s.R + 1.0) == s.fr && std::ldexp(fc, 20) == std::trunc(std::ldexp(fc, 20));
        int hair_below = 0, above_m511 = 0;
        for (const uint32_t N : reachable) {
            const uint32_t M = N / s.P - 1, A = N % s.P;
            const double fin = compute_frequencies(s.fr, s.R, M, A, 0, s.P, 0).fin;
            SolverInput in;
            in.target = fin;
            in.last_fin = fin > 2.0 ? 0.0 : fin + 10.0;
            in.fc = fc;
            in.modulus = s.P;
            in.prescaler_en = s.P == 1;
            const SolverResult r = solve_registers(in);
            const Counters back = s.P == 1 ? apply_bypass_rule({r.M, r.A}, 0, 0, 0) : apply_integer_rule({r.M, r.A}, 0);
            const uint32_t N_back = s.P * (back.M + 1) + back.A;
            if (N_back == N && M <= 511) {
                EXPECT_EQ(back, (Counters{M, A})) << "N " << N;
            } else if (N >= 512u * s.P) {
                EXPECT_EQ(N_back, 512u * s.P + A) << "N " << N;
                ++above_m511;
            } else {
                EXPECT_LT(fin / fc, N) << "Fr " << s.fr << ", R " << s.R << ", P " << s.P << ": N " << N;
                EXPECT_EQ(N_back, N - 1) << "N " << N;
                ++hair_below;
            }
        }
        if (fc_exact) {
            EXPECT_EQ(hair_below, 0) << "with an exact Fc every quotient is exact";
        }
        // M 511 with A from P to 15.
        EXPECT_EQ(above_m511, s.P == 1 ? 0 : 16 - s.P) << "Fr " << s.fr << ", R " << s.R << ", P " << s.P;
    }
}

// With dither on, the chip divides by N + (2 K + 1) / 2^19: the dithered
// channels lie at odd multiples of 1/2^19 above the whole N. A target on a
// channel, or anywhere between it and the next, solves to that channel: the Fin
// the registers give is at or just below the target, never above it. (A target
// less than one 2^19th above the whole N has no dithered channel below it with
// the same M and A.) Targets built from the channels themselves, exact in binary.
TEST(Solver, DitherOnSolvesKToTheChannelAtOrJustBelowTheTarget)
{
    constexpr double kFc = 50.0;
    constexpr double kTwoTo19 = 524288.0;
    struct Prescaler {
        int P;
        int bypassed;
    };
    for (const Prescaler p : {Prescaler{10, 0}, Prescaler{5, 0}, Prescaler{1, 1}}) {
        for (const uint32_t whole : {86u, 123u, 400u}) {
            for (const uint32_t K : {0u, 1u, 110099u, 131072u, 262142u, 262143u}) {
                // How far past channel K the target lies, in 2^19ths; the next channel is 2 further.
                for (const double past : {0.0, 0.5, 1.0, 1.5, 1.96875}) {
                    const double odd = 2.0 * K + 1.0 + past;
                    if (odd >= kTwoTo19)
                        continue;  // beyond the last channel below the next whole N
                    SolverInput in;
                    in.target = kFc * (whole + odd / kTwoTo19);
                    in.fc = kFc;
                    in.modulus = p.P;
                    in.prescaler_en = p.bypassed;
                    in.N_flag = ZR3500;
                    in.RAND_EN = 1;
                    in.MASH = 1;
                    in.fresh = true;
                    const SolverResult r = solve_registers(in);
                    const std::string what = "P " + std::to_string(p.P) + ", N " + std::to_string(whole) + ", K " +
                                             std::to_string(K) + " + " + std::to_string(past) + "/2^19";
                    EXPECT_EQ(p.P * (r.M + 1) + r.A, whole) << what;
                    EXPECT_EQ(r.K, K) << what;
                    const double fin = kFc * (whole + (2.0 * r.K + 1.0) / kTwoTo19);
                    EXPECT_LE(fin, in.target) << what << ": the registers give more than asked";
                }
            }
        }
    }
}
