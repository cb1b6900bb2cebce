#pragma once
// The program's way in: start-up and the event loop.

#include "app/lifecycle.h"

// The one option of zr-eval's own: the simulated board instead of the boards
// plugged in, for trying the program without one.
inline constexpr const char* kSimulatedBoardOption = "--simulated-board";

// Start-up, the event loop and the way out. Returns the exit status: 0 after a
// normal shutdown, -1 when the runtime or a panel of the resource cannot be loaded.
int run_zr_eval(int argc, char* argv[], const char* resource_file = kResourceFile);

// The part of start-up between the splash and the restore, on the loaded main
// panel: the first computation on the resource's values, the board search, and
// the panel raised to its full height and shown.
void compute_search_and_show();
