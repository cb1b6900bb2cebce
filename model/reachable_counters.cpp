#include "model/reachable_counters.h"

#include "model/calculation.h"
#include "model/chip_limits.h"
#include "model/frequency.h"

#include <algorithm>

namespace {

// The pairs the rules keep with K and the dither bit of r as they stand.
std::vector<KeptCounters> kept(RegisterSet r)
{
    std::vector<KeptCounters> pairs;
    r.T_flag = 0;  // as a typed solve leaves it
    for (uint32_t M = 0; M <= chip::kMMax; ++M) {
        for (uint32_t A = 0; A < (1u << chip::kABits); ++A) {
            r.M_reg = M;
            r.A_reg = A;
            r.modulus = modulus_of(r.MOD_SEL);
            apply_range_branch(r);
            if (r.M_reg == M && r.A_reg == A)
                pairs.push_back({static_cast<uint32_t>(r.modulus) * (M + 1) + A, M, A});
        }
    }
    // By base, and of equal bases the larger M first, which unique() keeps.
    std::sort(pairs.begin(), pairs.end(), [](const KeptCounters& a, const KeptCounters& b) {
        return a.base != b.base ? a.base < b.base : a.M > b.M;
    });
    pairs.erase(std::unique(pairs.begin(), pairs.end(),
                            [](const KeptCounters& a, const KeptCounters& b) { return a.base == b.base; }),
                pairs.end());
    return pairs;
}

}  // namespace

ReachableCounters reachable_counters(const RegisterSet& settings)
{
    RegisterSet r = settings;
    drop_fractional_term_for_integer_part(r);
    r.modulus = modulus_of(r.MOD_SEL);
    ReachableCounters c;
    c.modulus = r.prescaler_en != 0 ? chip::kModulusBypass : r.modulus;
    c.RAND_EN = r.RAND_EN;
    if (r.RAND_EN == 0) {
        r.K_reg = 0;
        c.integer = kept(r);
    }
    if (r.N_flag != ZR3100) {
        r.K_reg = 1;  // the rules ask only whether there is a fractional term
        c.fractional = kept(r);
    }
    return c;
}

uint32_t lowest_fractional_k(const ReachableCounters& reachable)
{
    return reachable.RAND_EN != 0 ? 0 : 1;
}

double fin_of(const ReachableCounters& reachable, const KeptCounters& c, uint32_t K, double fc)
{
    return division_ratio(c.M, c.A, K, reachable.modulus, reachable.RAND_EN) * fc;
}
