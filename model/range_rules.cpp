#include "model/range_rules.h"

#include "model/chip_limits.h"

using namespace chip;

uint32_t clamp_into(uint32_t x, uint32_t lo, uint32_t hi)
{
    if (x < lo)
        return lo;
    if (x > hi)
        return hi;
    return x;
}

uint32_t clamp_bypass_modulator_m(uint32_t M, int MASH)
{
    return MASH == 0 ? clamp_into(M, kBypassMash111MMin, kBypassMash111MMax)
                     : clamp_into(M, kBypassMash11MMin, kBypassMash11MMax);
}

Counters apply_bypass_rule(Counters c, uint32_t K, int RAND_EN, int MASH)
{
    c.A = 0;
    if (K != 0 || RAND_EN == 1)
        c.M = clamp_bypass_modulator_m(c.M, MASH);
    else
        c.M = clamp_into(c.M, kMMin, kMMax);
    return c;
}

Counters apply_integer_rule(Counters c, int T_flag)
{
    c.M = clamp_into(c.M, kMMin, kMMax);
    if (c.A > c.M + 1) {
        if (T_flag != 0) {
            c.A = 0;
            c.M = c.M + 1;
        } else {
            c.A = c.M + 1;
        }
    }
    return c;
}

namespace {

// Third-order modulator (MASH 1-1-1), jumper out.
Counters mash111_jumper_out(Counters c, int modulus)
{
    uint32_t& M = c.M;
    uint32_t& A = c.A;
    if (modulus == kModulus10_11) {
        if (M < kMash111P10SmallM && A < kMash111AMin) A = kMash111AMin;
        if (M < kMash111P10MMin) M = kMash111P10MMin;
        if (M == kMash111P10MMin) A = kMash111AMin;
        if (M == kMash111P10MMin + 1 && A > kMash111AMin) A = kMash111P10M7AMax;
        if (M == kMash111P10MMin + 2 && A > kMash111P10M8AMax) A = kMash111P10M8AMax;
    } else {
        if (M < kMash111P5SmallM && A < kMash111AMin) A = kMash111AMin;
        if (M < kMash111P5MMin) M = kMash111P5MMin;
        if (M == kMash111P5MMin && A > kMash111AMin) A = kMash111P5M3AMax;
    }
    if (M > kMMax) M = kMMax;
    return c;
}

// Third-order modulator, jumper in: the same for both moduli.
Counters mash111_jumper_in(Counters c)
{
    c.A = clamp_into(c.A, kMash111AMin, kMash111JumperInAMax);
    if (c.M < c.A + kMash111MAboveA) c.M = c.A + kMash111MAboveA;
    if (c.M > kMMax) c.M = kMMax;
    return c;
}

// Second-order modulator (MASH 1-1), jumper out.
Counters mash11_jumper_out(Counters c, int modulus)
{
    uint32_t& M = c.M;
    uint32_t& A = c.A;
    const uint32_t small_m = modulus == kModulus10_11 ? kMash11P10SmallM : kMash11P5SmallM;
    const uint32_t narrow_m = modulus == kModulus10_11 ? kMash11P10NarrowM : kMash11P5NarrowM;
    if (M < small_m && A == 0) A = kMash11AMin;
    M = clamp_into(M, kMash11MMin, kMMax);
    if (A >= M && M < narrow_m) A = M - 1;
    return c;
}

// Second-order modulator, jumper in: the same for both moduli.
Counters mash11_jumper_in(Counters c)
{
    c.A = clamp_into(c.A, kMash11AMin, kMash11JumperInAMax);
    c.M = clamp_into(c.M, kMash11MMin, kMMax);
    if (c.A >= c.M) c.A = c.M - 1;
    return c;
}

}  // namespace

Counters apply_modulator_rule(Counters c, int MASH, int modulus, int LNM)
{
    if (MASH == 0)
        return LNM == 0 ? mash111_jumper_out(c, modulus) : mash111_jumper_in(c);
    return LNM == 0 ? mash11_jumper_out(c, modulus) : mash11_jumper_in(c);
}

Counters apply_range_rules(Counters c, const RangeSettings& s)
{
    if (s.prescaler_en != 0)
        return apply_bypass_rule(c, s.K, s.RAND_EN, s.MASH);
    if (s.N_flag == 0 || (s.K == 0 && s.RAND_EN == 0))
        return apply_integer_rule(c, s.T_flag);
    return apply_modulator_rule(c, s.MASH, s.modulus, s.LNM);
}
