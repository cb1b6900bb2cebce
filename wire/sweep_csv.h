#pragma once
// The table of a sweep as CSV, one line per point: requested and achieved
// frequency, the error, the registers and words, and once it has run how often
// each point was written and when it was last written whole (milliseconds from
// the start of the run, and UTC). The first column reads back as a sweep list.

#include "wire/sweep_run.h"
#include "model/sweep_plan.h"

#include <ostream>

// run: nullptr before the sweep has run.
void write_sweep_csv(std::ostream& out, const SweepPlan& plan, const SweepRun* run);
