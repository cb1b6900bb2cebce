#pragma once
// Every M and A that the registers can hold, each judged by the range rules of
// the recompute, for the part, prescaler, Mod Select, modulator order, LNM jumper
// and dither of a register set: the counters the rules keep as written. R and Fr
// do not enter, so one enumeration serves every R and every target.

#include "model/register_set.h"

#include <cstdint>
#include <vector>

// Counters the rules keep, and the integer part of N they give: P x (M + 1) + A.
struct KeptCounters {
    uint32_t base = 0;
    uint32_t M = 0, A = 0;
};

struct ReachableCounters {
    int modulus = 0;  // P in force: 10, 5, or 1 bypassed
    int RAND_EN = 0;  // the dither bit, the fraction's lowest bit
    // By base, ascending, one pair for each base: of two, the one with the larger
    // M, as the solver splits a ratio. Without a fractional term (K 0, dither off)
    // and with one (K from 1, or from 0 with dither on, ZR3500 only).
    std::vector<KeptCounters> integer;
    std::vector<KeptCounters> fractional;
};

ReachableCounters reachable_counters(const RegisterSet& settings);

// The lowest K with a fractional term: 0 with dither on, else 1.
uint32_t lowest_fractional_k(const ReachableCounters& reachable);

// Fin of counters and K at the comparison frequency fc, as the recompute computes it.
double fin_of(const ReachableCounters& reachable, const KeptCounters& c, uint32_t K, double fc);
