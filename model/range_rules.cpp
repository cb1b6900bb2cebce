#include "model/range_rules.h"

uint32_t clamp_into(uint32_t x, uint32_t lo, uint32_t hi)
{
    if (x < lo)
        return lo;
    if (x > hi)
        return hi;
    return x;
}

Counters apply_bypass_rule(Counters c, uint32_t K, int RAND_EN, int MASH)
{
    c.A = 0;
    if (K != 0 || RAND_EN == 1)
        c.M = MASH == 0 ? clamp_into(c.M, 4, 507) : clamp_into(c.M, 2, 509);
    else
        c.M = clamp_into(c.M, 1, 511);
    return c;
}

Counters apply_integer_rule(Counters c, int T_flag)
{
    c.M = clamp_into(c.M, 1, 511);
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
    if (modulus == 10) {
        if (M < 9 && A < 3) A = 3;
        if (M < 6) M = 6;
        if (M == 6) A = 3;
        if (M == 7 && A > 3) A = 4;
        if (M == 8 && A > 9) A = 9;
    } else {
        if (M < 4 && A < 3) A = 3;
        if (M < 3) M = 3;
        if (M == 3 && A > 3) A = 4;
    }
    if (M > 511) M = 511;
    return c;
}

// Third-order modulator, jumper in: the same for both moduli.
Counters mash111_jumper_in(Counters c)
{
    c.A = clamp_into(c.A, 3, 11);
    if (c.M < c.A + 3) c.M = c.A + 3;
    if (c.M > 511) c.M = 511;
    return c;
}

// Second-order modulator (MASH 1-1), jumper out.
Counters mash11_jumper_out(Counters c, int modulus)
{
    uint32_t& M = c.M;
    uint32_t& A = c.A;
    const uint32_t small_m = modulus == 10 ? 9 : 4;    // below it, A may not be 0
    const uint32_t narrow_m = modulus == 10 ? 8 : 3;   // below it, A stays under M
    if (M < small_m && A == 0) A = 1;
    M = clamp_into(M, 2, 511);
    if (A >= M && M < narrow_m) A = M - 1;
    return c;
}

// Second-order modulator, jumper in: the same for both moduli.
Counters mash11_jumper_in(Counters c)
{
    c.A = clamp_into(c.A, 1, 13);
    c.M = clamp_into(c.M, 2, 511);
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
