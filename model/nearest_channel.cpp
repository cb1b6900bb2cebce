#include "model/nearest_channel.h"

#include "model/chip_limits.h"
#include "model/frequency.h"
#include "model/solver.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

namespace {

struct Channel {
    KeptCounters counters;
    uint32_t K = 0;
    double fin = 0.0;
};

class Nearest {
public:
    explicit Nearest(double target) : target_(target) {}

    void consider(const Channel& c)
    {
        const double d = std::abs(c.fin - target_);
        if (!best_ || d < distance_ || (d == distance_ && c.fin < best_->fin)) {
            best_ = c;
            distance_ = d;
        }
    }
    const std::optional<Channel>& best() const { return best_; }

private:
    double target_;
    double distance_ = 0.0;
    std::optional<Channel> best_;
};

// The bases either side of the ratio x, with one more on each side for the
// rounding of x itself: the nearest channel lies among them, since the
// fractional channels of one base all lie between it and the next integer.
template <typename Visit>
void bases_around(const std::vector<KeptCounters>& bases, double x, Visit visit)
{
    const auto above = std::upper_bound(bases.begin(), bases.end(), x,
                                        [](double v, const KeptCounters& c) { return v < c.base; });
    const std::ptrdiff_t j = std::distance(bases.begin(), above);
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(bases.size());
    for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(j - 2, 0); i <= std::min(j + 1, n - 1); ++i)
        visit(bases[static_cast<std::size_t>(i)]);
}

std::optional<Channel> nearest_reachable(const ReachableCounters& reachable, double fc, double target)
{
    Nearest nearest(target);
    const double x = target / fc;
    bases_around(reachable.integer, x, [&](const KeptCounters& c) {
        nearest.consider({c, 0, fin_of(reachable, c, 0, fc)});
    });
    const double k_low = lowest_fractional_k(reachable);
    const double k_high = chip::kKMax;
    bases_around(reachable.fractional, x, [&](const KeptCounters& c) {
        // K for which (2K + RAND_EN) / 2^19 makes up the rest of x; the channels
        // next to it are tried, as x is itself rounded.
        const double ideal = ((x - c.base) * chip::kFractionalDenominator - reachable.RAND_EN) / 2.0;
        const double from = std::clamp(std::floor(ideal) - 1.0, k_low, k_high);
        const double to = std::clamp(std::floor(ideal) + 2.0, k_low, k_high);
        for (double k = from; k <= to; k += 1.0) {
            const auto K = static_cast<uint32_t>(k);
            nearest.consider({c, K, fin_of(reachable, c, K, fc)});
        }
    });
    return nearest.best();
}

// Fin after one arrow step of "Out Freq (MHz)" from a solve's Fin, as the panel
// takes it: the target one increment away, solved as a step, the registers
// held by their fields, then the recompute.
double fin_after_arrow(RegisterSet r, double step)
{
    r.new_pll_freq = r.temp_pll_freq + step;
    drop_fractional_term_for_integer_part(r);
    r.modulus = modulus_of(r.MOD_SEL);
    apply_range_branch(r);
    solve_target(r);
    hold_in_register_widths(r);
    recompute(r);
    return r.new_pll_freq;
}

}  // namespace

SolvedRegisters solve_nearest_channel(RegisterSet& r, double target)
{
    return solve_nearest_channel(r, target, reachable_counters(r));
}

SolvedRegisters solve_nearest_channel(RegisterSet& r, double target, const ReachableCounters& reachable)
{
    if (!std::isfinite(target))
        return solve_typed_target(r, target);
    const std::optional<Channel> best = nearest_reachable(reachable, comparison_frequency(r.ref_freq, r.R_reg), target);
    if (!best)
        return solve_typed_target(r, target);
    r.M_reg = best->counters.M;
    r.A_reg = best->counters.A;
    r.K_reg = best->K;
    r.T_flag = 0;
    recompute(r);
    return {best->counters.M, best->counters.A, best->K};
}

SolvedRegisters solve_rounded(RegisterSet& r, double target, Rounding rounding)
{
    return rounding == Rounding::Nearest ? solve_nearest_channel(r, target) : solve_typed_target(r, target);
}

std::optional<NearestChannelHint> nearest_channel_hint(const RegisterSet& solved, double target)
{
    if (!std::isfinite(target))
        return std::nullopt;
    RegisterSet n = solved;
    solve_nearest_channel(n, target);
    const double nearest = n.new_pll_freq;
    if (!(std::abs(nearest - target) < std::abs(solved.new_pll_freq - target)))
        return std::nullopt;
    NearestChannelHint hint;
    hint.nearest_mhz = nearest;
    hint.from_target_mhz = nearest - target;
    if (fin_after_arrow(solved, kArrowStepMhz) == nearest)
        hint.arrow = ArrowStep::Up;
    else if (fin_after_arrow(solved, -kArrowStepMhz) == nearest)
        hint.arrow = ArrowStep::Down;
    return hint;
}
