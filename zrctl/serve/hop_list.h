#pragma once
// A hop list as a signal generator keeps one: its frequencies, dwell, count and
// stepping, run as zrctl sweep runs its points. Each point is solved from the
// settings at INITiate as sweep solves it, and written in the sweep's burst on
// the sweep's schedule (STEP AUTO) or one for each trigger (STEP ONCE).

#include "wire/sweep_run.h"
#include "model/register_set.h"
#include "model/sweep_plan.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One write of the list.
struct Hop {
    // The point written whole: the settings that hold its registers, and its frequency.
    std::optional<RegisterSet> settings;
    double requested_mhz = 0.0;
    // The write that failed and ended the list, and what sweep says of it.
    std::optional<SweepFailure> failure;
    std::string failure_text;
};

class HopList {
public:
    enum class Step { Auto, Once };

    // What the LIST commands set.
    std::vector<double> mhz;
    double dwell_ms = 0.0;
    uint32_t count = 1;
    Step step = Step::Auto;

    // Plans the points from the settings; the schedule counts from now.
    void start(const RegisterSet& settings, SweepClock::time_point now, Rounding rounding = Rounding::Down);
    // Started, with points to write.
    bool running() const { return run_.has_value(); }
    // Running on STEP ONCE, waiting for triggers (LIST:STEP is refused while it runs).
    bool stepped_by_trigger() const { return running() && step == Step::Once; }
    // When the next point of a list on STEP AUTO is due.
    SweepClock::time_point next_due() const;
    // Writes the next point; the list ends after its last, or a failed write.
    Hop write_next(const SweepWriter& write);
    // Ends it where it is: the chip keeps the last point written.
    void stop();

private:
    std::optional<SweepRun> run_;
};
