#pragma once
// The program's way out: QUIT, closing the main window, and the signals of a
// logout or a kill all take the same road.

// Callback of QUIT: closes the board, saves the panel state and ends the event loop.
int Shutdown(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The main panel's own callback: closing its window takes the road of QUIT.
int main_panel_closed(int panel, int event, void* callbackData, int eventData1, int eventData2);

// SIGTERM, SIGINT and SIGHUP, run from the event loop. Once start-up has
// restored the panel they take the road of QUIT without a question, and close
// any box still asking one; before that, start-up stops early and the state
// file on disk stays as it is, the operator's own.
void termination_signal(int signal);
// The display went away under the running program: the board is closed and the
// panel saved without a question, as far as start-up got.
void display_lost();

// Whether a signal came before start-up had restored the panel.
bool termination_pending();
// Start-up begins (false: a signal only stops it) or has restored the panel
// (true: a signal now saves it).
void set_panel_restored(bool restored);
