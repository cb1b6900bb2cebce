#pragma once
// Where the spurs of a setting fall, as offsets from the carrier in Hz; no
// levels. N's fraction is (2K + RAND_EN) / 2^19, reduced to num / D:
// - the integer-boundary spur at Fc x the distance of the fraction to the
//   nearest integer;
// - the primary fractional spur at Fc / D;
// - the sub-fractional spur at Fc / (k x D), k by the modulator's order and D.
// With dither on, the fractional spurs are spread rather than at an offset.
// The formulas and their sources are in docs/spurs.md.

#include "model/register_set.h"

#include <cstdint>
#include <optional>

// The order of the sigma-delta modulator that MASH2SEL selects: 1 "1-1", second
// order; 0 "1-1-1", third order.
int modulator_order_of(int MASH);

// k of the sub-fractional spurs at Fc / (k x D), by the repeat length of a MASH
// modulator's sequence for a fraction of reduced denominator D. Second order: 2
// when D is even, else 1. Third order: 6 when D is divisible by 6, 2 when by 2
// only, 3 when by 3 only, else 1. 1 means there are none.
uint32_t sub_fractional_factor(int modulator_order, uint64_t denominator);

struct SpurOffsets {
    // N's fraction reduced: numerator / denominator; 0 / 1 without a fractional term.
    uint32_t numerator = 0;
    uint32_t denominator = 1;
    int modulator_order = 0;  // 2 or 3 with a fractional term, 0 without
    uint32_t sub_fractional_k = 1;
    std::optional<double> integer_boundary_hz;    // none on an integer channel
    std::optional<double> primary_fractional_hz;  // none without a fraction, or with dither on
    std::optional<double> sub_fractional_hz;      // also none when k is 1
    bool spread_by_dither = false;  // dither on: the fractional spurs are spread, not at an offset
};

// The spurs of r after a recompute: its part, K, dither bit, MASH order and Fc.
SpurOffsets spur_offsets(const RegisterSet& r);

// Which spurs lie within the loop bandwidth, an offset equal to it counting as
// inside: there the loop passes them to the output rather than filtering them.
struct SpursInLoop {
    bool integer_boundary = false;
    bool primary_fractional = false;
    bool sub_fractional = false;
    bool any() const { return integer_boundary || primary_fractional || sub_fractional; }
};
SpursInLoop spurs_inside_loop(const SpurOffsets& s, double loop_bandwidth_hz);
