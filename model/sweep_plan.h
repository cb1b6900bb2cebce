#pragma once
// A sweep across a band, or a hop through a list of channels: the frequencies
// asked for, checked whole before anything is sent, and each point solved as
// the panel solves a target typed far from its last Fin, every one from the same
// starting settings.

#include "model/frequency_field.h"
#include "model/register_set.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kMaxSweepPoints = 100000;
// A dwell beyond a day is no bench's, and would not fit the schedule's clock.
inline constexpr double kMaxDwellMs = 86400000.0;

// Where a sweep's frequencies come from.
enum class SweepInput { Start, Stop, Step, List };

// Why the frequencies were refused, and where.
struct SweepRefusal {
    SweepInput input = SweepInput::Start;
    std::size_t line = 0;  // the list's line, from 1; 0 for the other inputs
    std::string text;      // what stands there
    std::string why;       // "is not a number"
};

struct SweepFrequencies {
    std::vector<double> mhz;
    std::optional<SweepRefusal> refusal;  // then mhz is empty
};

// start, start + step, ... up to stop (reached within rounding), each in MHz as
// typed. Refused: a text that is not a number, a frequency outside the field, a
// step of 0 or one that points away from stop, more than kMaxSweepPoints points.
SweepFrequencies band_frequencies(std::string_view start, std::string_view stop, std::string_view step,
                                  const FrequencyField& field);

// One frequency a line, or the first column of a CSV file. Blank lines, lines
// that begin with '#', and a first line whose first cell holds no digit (a CSV
// header) are passed over; any other line that is not a number is refused.
SweepFrequencies list_frequencies(std::string_view text, const FrequencyField& field);

// A point of the sweep: what was asked, and the registers solved for it.
struct SweepPoint {
    double requested_mhz = 0.0;
    double achieved_mhz = 0.0;  // Fin of the registers, after the range rules
    double error_hz = 0.0;      // achieved - requested
    uint32_t R = 0, M = 0, A = 0, K = 0;
};

struct SweepPlan {
    RegisterSet settings;  // as they stand, recomputed: what every point starts from
    std::vector<SweepPoint> points;
};

// Solves each frequency from the settings, as zrctl solve does.
SweepPlan plan_sweep(const RegisterSet& settings, const std::vector<double>& frequencies_mhz);

// The plan's settings holding a point's registers, recomputed: what the panel
// shows once that point is programmed.
RegisterSet settings_at(const SweepPlan& plan, const SweepPoint& point);
