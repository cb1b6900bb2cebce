#pragma once
// The main panel's settings as one register set, and back: for tools that work
// on the panel's settings as a whole (sweeps, imports, setups).

#include "model/register_set.h"

// Every register field and switch of the main panel, with the part in force and
// the Fc, last Fin and step flag of the last computation.
RegisterSet settings_from_panel();

// Writes R, M, A, K and E with their bit rows, Fr, and the prescaler, Mod Select,
// dither, MASH, ENH and LNM switches, then recomputes as the panel does. The part
// in force is not changed.
void show_settings_on_panel(const RegisterSet& r);
