#pragma once
// The ranges of M and A that each prescaler, modulator and part configuration
// allows. Operator input is never rejected: these rules correct it silently.

#include <cstdint>

struct Counters {
    uint32_t M = 0;
    uint32_t A = 0;
    bool operator==(const Counters&) const = default;
};

// X into [lo, hi], compared unsigned.
uint32_t clamp_into(uint32_t x, uint32_t lo, uint32_t hi);

// M with the prescaler bypassed and a fractional term: the modulator's limits by
// its MASH order (0: 1-1-1, 1: 1-1).
uint32_t clamp_bypass_modulator_m(uint32_t M, int MASH);

// Prescaler bypassed (P 1): A is 0, and a fractional setting narrows M to what the
// modulator needs, by MASH order. The part does not matter here.
Counters apply_bypass_rule(Counters c, uint32_t K, int RAND_EN, int MASH);

// Integer division with the prescaler: M into [1, 511]; an A above M + 1 either
// carries into the next M (after a single-step solve, T_flag set) or is limited.
Counters apply_integer_rule(Counters c, int T_flag);

// Fractional division with the prescaler: the limits of the sigma-delta modulator,
// by MASH order, modulus P (10 or 5) and the LNM jumper.
Counters apply_modulator_rule(Counters c, int MASH, int modulus, int LNM);

struct RangeSettings {
    int prescaler_en = 0;  // non-zero: bypassed
    int N_flag = 0;        // PartType
    uint32_t K = 0;
    int RAND_EN = 0;
    int MASH = 0;
    int modulus = 10;      // 10 or 5, as the modulus switch selects
    int LNM = 0;
    int T_flag = 0;
};

// The one rule that the configuration selects, applied to c.
Counters apply_range_rules(Counters c, const RangeSettings& s);
