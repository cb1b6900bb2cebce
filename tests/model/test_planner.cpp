// The planner against a search of every setting the registers can hold on small
// ranges, its ranking on hand-worked exact hits, and its mark of the panel's choice.
#include "model/calculation.h"
#include "model/planner.h"
#include "support/register_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>

namespace {

const std::vector<PrescalerSetting> kPrescalers = {PrescalerSetting::Modulus10_11, PrescalerSetting::Modulus5_6,
                                                   PrescalerSetting::Bypassed};

RegisterSet settings_of(int part, uint32_t R, int MASH, int LNM)
{
    RegisterSet r;
    r.N_flag = part;
    r.ref_freq = 100.0;
    r.R_reg = R;
    r.M_reg = 7;
    r.MASH = MASH;
    r.LNM = LNM;
    return r;
}

// The smallest |Fin - target| of every setting the registers hold.
double searched_smallest_error_hz(const RegisterSet& settings, double target)
{
    double best = std::numeric_limits<double>::infinity();
    search_registers(settings, target, [&](const RegisterSet&, uint32_t, double fin) {
        best = std::min(best, std::abs(frequency_error(target, fin).hz));
    });
    return best;
}

using Branch = std::tuple<uint32_t, PrescalerSetting, int>;  // R, prescaler, MASH

// Every R, prescaler and MASH of the request searched: the planner's best in each
// is the smallest error there is, and it has one exactly where that is within
// the tolerance.
void expect_plan_as_searched(const RegisterSet& settings, const PlanRequest& request)
{
    const Plan plan = plan_target(settings, request);
    std::map<Branch, double> best;  // the planner's smallest |error| in each
    for (const PlanCandidate& c : plan.candidates) {
        const RegisterSet& r = c.registers;
        // An integer channel is listed once, and is as much a setting of either MASH order.
        const bool either = !has_fractional_term(r);
        for (int MASH : request.mash) {
            if (MASH != r.MASH && !either)
                continue;
            const Branch b{r.R_reg, prescaler_setting_of(r), MASH};
            const double e = std::abs(c.error_hz);
            const auto known = best.find(b);
            best[b] = known == best.end() ? e : std::min(known->second, e);
        }
        EXPECT_LE(std::abs(c.error_hz), request.tolerance_hz);
        RegisterSet again = r;
        recompute(again);
        EXPECT_EQ(again.new_pll_freq, r.new_pll_freq) << "a candidate is a setting the panel keeps";
        EXPECT_EQ(again.M_reg, r.M_reg);
        EXPECT_EQ(again.A_reg, r.A_reg);
    }
    for (uint32_t R = request.r_min; R <= request.r_max; ++R) {
        for (PrescalerSetting p : request.prescalers) {
            for (int MASH : request.mash) {
                RegisterSet s = settings;
                s.R_reg = R;
                s.MASH = MASH;
                set_prescaler(s, p);
                const double searched = searched_smallest_error_hz(s, request.target_mhz);
                const Branch b{R, p, MASH};
                EXPECT_EQ(best.count(b) == 1, searched <= request.tolerance_hz)
                    << "R " << R << ", prescaler " << static_cast<int>(p) << ", MASH " << MASH << ": " << searched;
                if (best.count(b)) {
                    EXPECT_EQ(best[b], searched) << "R " << R << ", prescaler " << static_cast<int>(p) << ", MASH " << MASH;
                }
            }
        }
    }
    for (std::size_t i = 1; i < plan.candidates.size(); ++i) {
        const PlanCandidate &a = plan.candidates[i - 1], &b = plan.candidates[i];
        const double ib_a = a.spurs.integer_boundary_hz.value_or(INFINITY);
        const double ib_b = b.spurs.integer_boundary_hz.value_or(INFINITY);
        EXPECT_TRUE(std::abs(a.error_hz) < std::abs(b.error_hz) ||
                    (std::abs(a.error_hz) == std::abs(b.error_hz) && ib_a >= ib_b))
            << "candidate " << i;
    }
}

}  // namespace

TEST(Planner, IntegerPartAgreesWithASearchOnSmallRanges)
{
    PlanRequest request;
    request.r_min = 0;
    request.r_max = 3;
    request.prescalers = kPrescalers;
    request.mash = {1};
    for (double target : {4321.0, 1234.5, 2000.0}) {
        for (double tolerance : {0.0, 2e6, 10e6}) {
            request.target_mhz = target;
            request.tolerance_hz = tolerance;
            expect_plan_as_searched(settings_of(ZR3100, 1, 1, 1), request);
        }
    }
}

TEST(Planner, FractionalPartAgreesWithASearchOnSmallRanges)
{
    PlanRequest request;
    request.r_min = 0;
    request.r_max = 1;
    request.prescalers = kPrescalers;
    request.mash = {0, 1};
    for (double target : {4321.3, 1234.5}) {
        for (int LNM : {0, 1}) {
            request.target_mhz = target;
            request.tolerance_hz = 100.0;
            expect_plan_as_searched(settings_of(ZR3500, 1, 1, LNM), request);
        }
    }
}

TEST(Planner, RanksExactHitsByTheIntegerBoundarySpurFarthestOut)
{
    // ZR3500, prescaler 5/6, MASH 1-1, LNM in: 4737.5 MHz is 47.375 x 100 MHz,
    // exact at every R from 0 to 7. N's fraction and the integer-boundary offset:
    // R 7: N 379, none; R 0: 0.375, 37.5 MHz; R 1: 94.75, 12.5 MHz; R 3: 189.5,
    // 12.5 MHz; R 6: 331.625, 0.375 x 100/7 MHz; R 2: 142.125 and R 5: 284.25, both
    // 100/24 MHz; R 4: 236.875, 0.125 x 20 = 2.5 MHz.
    RegisterSet settings = settings_of(ZR3500, 1, 1, 1);
    settings.MOD_SEL = 1;
    PlanRequest request;
    request.target_mhz = 4737.5;
    request.tolerance_hz = 1.0;
    request.r_min = 0;
    request.r_max = 7;
    request.prescalers = {PrescalerSetting::Modulus5_6};
    request.mash = {1};
    const Plan plan = plan_target(settings, request);
    std::vector<uint32_t> order;
    for (const PlanCandidate& c : plan.candidates) {
        order.push_back(c.registers.R_reg);
        EXPECT_EQ(c.error_hz, 0.0) << "R " << c.registers.R_reg;
        EXPECT_TRUE(c.by_truncation && c.by_nearest) << "truncation is exact here, and listed once";
    }
    EXPECT_EQ(order, (std::vector<uint32_t>{7, 0, 1, 3, 6, 2, 5, 4}));
    ASSERT_EQ(plan.candidates.size(), 8u);
    EXPECT_FALSE(plan.candidates[0].spurs.integer_boundary_hz);
    EXPECT_EQ(plan.candidates[1].spurs.integer_boundary_hz, 37.5e6);
    EXPECT_EQ(plan.candidates[7].spurs.integer_boundary_hz, 2.5e6);
    EXPECT_TRUE(plan.candidates[2].panel_choice) << "R 1 as the settings stand";
}

TEST(Planner, MarksThePanelsChoiceOnlyWhereItIsWithinTheTolerance)
{
    PlanRequest request;
    request.target_mhz = 4321.0;
    request.tolerance_hz = 1000.0;
    request.r_min = 0;
    request.r_max = 3;
    request.prescalers = kPrescalers;
    request.mash = {0, 1};

    // MASH 1-1: the panel gives K 110100, -91.553 Hz, within 1 kHz.
    Plan plan = plan_target(settings_of(ZR3500, 1, 1, 1), request);
    int marked = 0;
    for (const PlanCandidate& c : plan.candidates) {
        if (!c.panel_choice)
            continue;
        ++marked;
        EXPECT_EQ(c.registers.R_reg, 1u);
        EXPECT_EQ(c.registers.K_reg, 110100u);
        EXPECT_TRUE(c.by_truncation);
    }
    EXPECT_EQ(marked, 1);
    EXPECT_NEAR(plan.panel.error_hz, -91.553, 0.001);

    // MASH 1-1-1 with the jumper out: the panel gives 4221 MHz, which no tolerance
    // of 1 kHz takes; the nearest channels of the other settings are listed.
    plan = plan_target(settings_of(ZR3500, 1, 0, 0), request);
    EXPECT_NEAR(plan.panel.error_hz, -100.0000916e6, 1.0);
    EXPECT_TRUE(plan.panel.panel_choice);
    EXPECT_FALSE(plan.candidates.empty());
    for (const PlanCandidate& c : plan.candidates)
        EXPECT_FALSE(c.panel_choice);

    // An integer channel is the same setting whatever the MASH order: listed once.
    request.target_mhz = 4300.0;
    request.tolerance_hz = 0.0;
    plan = plan_target(settings_of(ZR3500, 1, 1, 1), request);
    int at_r1 = 0;
    for (const PlanCandidate& c : plan.candidates)
        if (c.registers.R_reg == 1 && prescaler_setting_of(c.registers) == PrescalerSetting::Modulus10_11)
            ++at_r1;
    EXPECT_EQ(at_r1, 1);
}
