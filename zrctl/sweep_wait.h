#pragma once
// How zrctl sweep waits for each point's time.

#include "wire/sweep_run.h"

// Sleeps until close to the due time, then spins to it. False when one of the
// signals that end a run (see StopSignals) asked to stop first.
bool wait_until(SweepClock::time_point due);
