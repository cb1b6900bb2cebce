#include "model/planner.h"

#include "model/calculation.h"
#include "model/chip_limits.h"
#include "model/nearest_channel.h"
#include "model/reachable_counters.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One prescaler setting and modulator order, with what they reach.
struct Branch {
    PrescalerSetting prescaler;
    int MASH;
    ReachableCounters reachable;
};

// Candidates are the same setting when the chip would be set alike: the MASH
// order matters only with a fractional term.
bool same_setting(const RegisterSet& a, const RegisterSet& b)
{
    return a.R_reg == b.R_reg && prescaler_setting_of(a) == prescaler_setting_of(b) && a.M_reg == b.M_reg &&
           a.A_reg == b.A_reg && a.K_reg == b.K_reg && a.RAND_EN == b.RAND_EN &&
           (!has_fractional_term(a) || a.MASH == b.MASH);
}

PlanCandidate candidate_of(const RegisterSet& solved, double target_mhz)
{
    PlanCandidate c;
    c.registers = solved;
    c.error_hz = frequency_error(target_mhz, solved.new_pll_freq).hz;
    c.spurs = spur_offsets(solved);
    return c;
}

double integer_boundary_or_farthest(const PlanCandidate& c)
{
    return c.spurs.integer_boundary_hz.value_or(std::numeric_limits<double>::infinity());
}

// The allowed values, or the settings' own; the settings' own first when allowed,
// so that a setting the MASH order does not change keeps the panel's.
template <typename T>
std::vector<T> allowed(std::vector<T> values, T own)
{
    if (values.empty())
        return {own};
    const auto at = std::find(values.begin(), values.end(), own);
    if (at != values.end())
        std::rotate(values.begin(), at, at + 1);
    return values;
}

}  // namespace

bool ranks_before(const PlanCandidate& a, const PlanCandidate& b)
{
    const double ea = std::abs(a.error_hz), eb = std::abs(b.error_hz);
    if (ea != eb)
        return ea < eb;
    return integer_boundary_or_farthest(a) > integer_boundary_or_farthest(b);
}

Plan plan_target(const RegisterSet& settings, const PlanRequest& request)
{
    Plan plan;
    RegisterSet panel = settings;
    recompute(panel);  // the last Fin and Fc that a typed target starts from
    solve_typed_target(panel, request.target_mhz);
    plan.panel = candidate_of(panel, request.target_mhz);
    plan.panel.by_truncation = true;
    plan.panel.panel_choice = true;

    const std::vector<int> orders =
        settings.N_flag == ZR3100 ? std::vector<int>{settings.MASH} : allowed(request.mash, settings.MASH);
    std::vector<Branch> branches;
    for (PrescalerSetting p : allowed(request.prescalers, prescaler_setting_of(settings))) {
        for (int MASH : orders) {
            RegisterSet s = settings;
            set_prescaler(s, p);
            s.MASH = MASH;
            branches.push_back({p, MASH, reachable_counters(s)});
        }
    }

    const auto within = [&](const PlanCandidate& c) { return std::abs(c.error_hz) <= request.tolerance_hz; };
    const auto add = [&](const RegisterSet& solved, bool by_truncation) {
        PlanCandidate c = candidate_of(solved, request.target_mhz);
        if (!within(c))
            return;
        for (PlanCandidate& known : plan.candidates) {
            if (same_setting(known.registers, solved)) {
                (by_truncation ? known.by_truncation : known.by_nearest) = true;
                return;
            }
        }
        (by_truncation ? c.by_truncation : c.by_nearest) = true;
        c.panel_choice = same_setting(solved, panel);
        plan.candidates.push_back(c);
    };

    const uint32_t r_max = std::min<uint32_t>(request.r_max, (1u << chip::kRBits) - 1);
    for (uint32_t R = request.r_min; R <= r_max; ++R) {
        for (const Branch& b : branches) {
            RegisterSet s = settings;
            s.R_reg = R;
            set_prescaler(s, b.prescaler);
            s.MASH = b.MASH;
            recompute(s);
            RegisterSet truncated = s;
            solve_typed_target(truncated, request.target_mhz);
            add(truncated, true);
            RegisterSet nearest = s;
            solve_nearest_channel(nearest, request.target_mhz, b.reachable);
            add(nearest, false);
        }
    }
    std::stable_sort(plan.candidates.begin(), plan.candidates.end(), ranks_before);
    return plan;
}
