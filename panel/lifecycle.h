#pragma once
// The program's way in and out.

// Start-up, the event loop and the way out; returns the exit status: 0 after a
// normal shutdown, -1 when start-up fails.
int run_zr_eval(int argc, char* argv[]);

// Callback of QUIT.
int Shutdown(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
