#pragma once
// The program's way in and out.

// The UI resource, carried inside the program, and the panel-state file in the
// working directory.
inline constexpr const char* kResourceFile = "New_Panel.uir";
inline constexpr const char* kPanelStateFile = "panel.sts";

// Start-up, the event loop and the way out. Returns the exit status: 0 after a
// normal shutdown, -1 when the runtime or a panel of the resource cannot be loaded.
int run_zr_eval(int argc, char* argv[], const char* resource_file = kResourceFile);

// Callback of QUIT: closes the board, saves the panel state and ends the event loop.
int Shutdown(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
