#pragma once
// What a solve came to: the frequency asked for against the one the registers
// give, and the counters that the range rules or the registers' widths moved
// from what the solver gave.

#include "model/calculation.h"
#include "model/nearest_channel.h"
#include "model/spurs.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A counter the range rules moved from the value written into it: "A", 6, 4.
struct RuleChange {
    const char* name;
    uint32_t from, to;
};

// M, then A, where the value after the range rules differs from the one written.
std::vector<RuleChange> rule_changes(uint32_t M_written, uint32_t A_written, uint32_t M_ruled, uint32_t A_ruled);
// "changed M 7 -> 8, A 1 -> 2", or "changed nothing".
std::string rule_changes_text(const std::vector<RuleChange>& changes);

struct SolveOutcome {
    double requested_mhz = 0.0;
    double achieved_mhz = 0.0;
    SolvedRegisters solved;     // as the solver gave them, before the registers' widths
    uint32_t M = 0, A = 0, K = 0;  // as the fields hold them after the recompute
    bool has_fractional_part = true;  // K is the part's to change (ZR3500)
    // Why the settings cannot reach the target (model/reach.h), or empty.
    std::string unreachable;
    // The nearest channel, when truncation left Fin farther from the target than it.
    std::optional<NearestChannelHint> nearest;
};

// "Asked 4321 MHz, registers give 4320.999908 MHz: -92.0 Hz (-0.021 ppm). A lowered
// from 6 to 4 by the range rules.", with the nearest channel when there is one;
// for a target out of reach, that in words, and no solved value.
std::string solve_outcome_text(const SolveOutcome& o);

// "nearest channel 4050.000000 MHz, +1 MHz: arrow up": the channel nearest the
// target, how far from the target it lies, and the arrow step that reaches it.
std::string nearest_channel_text(const NearestChannelHint& h);

// An offset from the carrier in the unit that reads best: "20.999908 MHz",
// "12.500 kHz", "762.939 Hz".
std::string offset_text(double hz);

// "integer boundary 20.999908 MHz, primary fractional 762.939 Hz, sub-fractional
// 381.470 Hz"; "none, N is a whole number" on an integer channel; with dither,
// "the fractional spurs are spread by dither". Given the spurs inside the loop
// bandwidth, each of them is marked "(inside the loop bandwidth)".
std::string spurs_text(const SpurOffsets& s, const SpursInLoop* inside = nullptr);

// A warning for each spur inside the loop bandwidth: "the primary fractional
// spur at 762.939 Hz is inside the loop bandwidth of 100 kHz".
std::vector<std::string> spur_warnings(const SpurOffsets& s, double loop_bandwidth_hz);
