#pragma once
// The line under "Out Freq (MHz)" that says, after each solve, what was asked
// for, what the registers give and by how much they miss it, the nearest
// channel when truncation passed it, and which solved register the range rules
// then changed; and the line of the spurs below it.

#include "model/register_set.h"

// Keeps what the solver gave: the target it solved for and M, A, K as solved.
void note_solved_registers(const RegisterSet& solved);

// After the recompute that follows a solve: shows the line.
void show_solve_report();

// After any other recompute: a line whose Fin is no longer the one shown goes.
void clear_stale_solve_report();

// After every recompute: where the spurs of the registers fall, on the line
// under the solve's and in the tooltip of "Out Freq (MHz)".
void show_spur_report();
