#pragma once
// The line under "Out Freq (MHz)" that says, after each solve, what was asked
// for, what the registers give and by how much they miss it, and which solved
// register the range rules then changed.

#include "model/register_set.h"

// Keeps what the solver gave: the target it solved for and M, A, K as solved.
void note_solved_registers(const RegisterSet& solved);

// After the recompute that follows a solve: shows the line.
void show_solve_report();

// After any other recompute: a line whose Fin is no longer the one shown goes.
void clear_stale_solve_report();
