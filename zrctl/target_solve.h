#pragma once
// A single target solved as zrctl solves it for solve, burst, program and
// serve's FREQuency: from the settings' last Fin and Fc, as the panel solves a
// target typed far from its last Fin, by truncation. A rounding rule
// (model/nearest_channel.h) for these commands is chosen here and nowhere else.

#include "model/calculation.h"
#include "model/register_set.h"

// r holds the settings; afterwards the registers for target_mhz, recomputed.
// Returns M, A and K as the solve wrote them, before the range rules.
SolvedRegisters solve_for_target(RegisterSet& r, double target_mhz);
