#pragma once
// A sweep across a band, or a hop through a list of channels: the frequencies
// asked for, checked whole before anything is sent, and each point solved as
// the panel solves a target typed far from its last Fin, every one from the same
// starting settings.

#include "model/frequency_field.h"
#include "model/nearest_channel.h"
#include "model/register_set.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kMaxSweepPoints = 100000;
// A list of frequencies, from a file or typed: at most this many bytes, in lines
// of at most kListLineLimit bytes (a line of an exported table has about 150).
// Both are checked before any line is read.
inline constexpr std::size_t kListFileLimit = std::size_t{16} << 20;
inline constexpr std::size_t kListLineLimit = 1024;
// A dwell beyond a day is no bench's, and would not fit the schedule's clock.
inline constexpr double kMaxDwellMs = 86400000.0;

// Where a sweep's frequencies come from.
enum class SweepInput { Start, Stop, Step, List };

// Why the frequencies were refused, and where.
struct SweepRefusal {
    SweepInput input = SweepInput::Start;
    std::size_t line = 0;  // the list's line, from 1; 0 for the other inputs
    std::string text;      // what stands there, escaped and cut to a sensible length
    std::string why;       // "is not a number"
};

struct SweepFrequencies {
    std::vector<double> mhz;
    std::optional<SweepRefusal> refusal;  // then mhz is empty
};

// start, start + step, ... up to stop (reached within rounding), each in MHz as
// typed (a bare number is MHz; a unit may follow, as read_frequency_mhz reads
// it, in the list's lines too). Refused: a text that is not a number, a frequency outside the field, a
// step of 0 or one that points away from stop, more than kMaxSweepPoints points.
SweepFrequencies band_frequencies(std::string_view start, std::string_view stop, std::string_view step,
                                  const FrequencyField& field);

// One frequency a line, or the first column of a CSV file. Blank lines, lines
// that begin with '#', and a first line whose first cell holds no digit (a CSV
// header) are passed over; any other line that is not a number is refused, as
// are a text over kListFileLimit bytes and a line over kListLineLimit.
SweepFrequencies list_frequencies(std::string_view text, const FrequencyField& field);

// Whether a list is too large to be read at all (its size, or its longest
// line): the refusal, found without reading a number. A list that passes may
// still be refused by list_frequencies.
std::optional<SweepRefusal> list_too_large(std::string_view text);

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

// Whether a sweep planned from either settings solves every point alike: the same
// part, Fr, R, prescaler and modulator switches, LNM jumper, and M, A and K, whose
// Fin each solve starts from.
bool same_sweep_start(const RegisterSet& a, const RegisterSet& b);

// Solves each frequency from the settings, as zrctl solve does, by truncation
// or by the nearest channel.
SweepPlan plan_sweep(const RegisterSet& settings, const std::vector<double>& frequencies_mhz,
                     Rounding rounding = Rounding::Down);

// The plan's settings holding a point's registers: as solved, and recomputed,
// which is what the panel shows once that point is programmed.
RegisterSet settings_with(const SweepPlan& plan, const SweepPoint& point);
RegisterSet settings_at(const SweepPlan& plan, const SweepPoint& point);
