#pragma once
// A single target solved as zrctl solves it for solve, burst, program and
// serve's FREQuency: from the settings' last Fin and Fc, as the panel solves a
// target typed far from its last Fin, by truncation, or by the nearest channel
// when asked. The rounding rule (model/nearest_channel.h) for these commands is
// chosen here and nowhere else.

#include "model/calculation.h"
#include "model/nearest_channel.h"
#include "model/reach.h"
#include "model/register_set.h"

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}  // namespace CLI

// The words of --round: "down" (the panel's rule) and "nearest".
inline constexpr const char* kRoundDown = "down";
inline constexpr const char* kRoundNearest = "nearest";
void add_round_option(CLI::App& command, std::string& round);
Rounding rounding_of(const std::string& round);

// What "Out Freq (MHz)" takes, as the panel's resource declares it.
FrequencyField out_freq_field();

// The settings in words for a refusal: "R 1, prescaler 10/11" (and MASH for ZR3500).
std::string reach_words(const RegisterSet& settings);

// Why the settings cannot be solved for the target: outside "Out Freq (MHz)",
// or outside the lowest and highest Fin that the settings reach.
std::optional<TargetRefusal> target_refusal(const RegisterSet& settings, double target_mhz);

// The first point of a list that the settings cannot be solved for, as
// "point 3: 500 MHz is outside ...", or none.
std::optional<std::string> first_unreachable_point(const RegisterSet& settings, const std::vector<double>& points_mhz);

// r holds the settings; afterwards the registers for target_mhz, recomputed.
// Returns M, A and K as the solve wrote them, before the range rules. A target
// the settings cannot reach is refused (exit status 2) before anything is solved.
SolvedRegisters solve_for_target(RegisterSet& r, double target_mhz, Rounding rounding = Rounding::Down);
