#pragma once
// The nearest channel: of every M, A and K that the range rules keep for the
// part, R, prescaler, modulator order, LNM jumper and dither in force, the one
// whose Fin lies closest to a target; of two equally close, the lower. The
// panel's own solve truncates (solve_typed_target); this is the other rule, for
// those who ask for it.

#include "model/calculation.h"
#include "model/reachable_counters.h"

#include <optional>

enum class Rounding {
    Down,     // the panel's: truncation toward zero, then the range rules
    Nearest,  // the nearest channel after the range rules
};

// As solve_typed_target, by the nearest channel: r then holds the registers,
// recomputed, with T_flag 0, and they are returned as written, which the range
// rules keep. A target that is not a finite number is solved by truncation.
SolvedRegisters solve_nearest_channel(RegisterSet& r, double target);
// The same with the counters reachable for r's settings enumerated once, for
// many targets or many R.
SolvedRegisters solve_nearest_channel(RegisterSet& r, double target, const ReachableCounters& reachable);

// By either rule.
SolvedRegisters solve_rounded(RegisterSet& r, double target, Rounding rounding);

enum class ArrowStep { None, Up, Down };

struct NearestChannelHint {
    double nearest_mhz = 0.0;          // Fin of the nearest channel
    double from_target_mhz = 0.0;      // nearest - target
    ArrowStep arrow = ArrowStep::None;  // the arrow step of "Out Freq (MHz)" that lands on it, if one does
};

// After a truncating solve (r as solve_typed_target left it, for the target
// given): the nearest channel when it lies closer to the target than the Fin the
// truncation gave; none otherwise.
std::optional<NearestChannelHint> nearest_channel_hint(const RegisterSet& solved, double target);
