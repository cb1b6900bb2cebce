#pragma once
// The working directory's "panel.sts", kept safe. A run holds the folder's state
// for its life (a second zr-eval in the folder is told so and asks before saving
// over it); a file that start-up refuses is moved aside before anything can
// overwrite it; a failed save is said, and can be retried, made elsewhere or
// given up.

// At start, before the restore: takes the folder's state (or says that another
// zr-eval holds it) and removes the temporary files of saves killed half-way.
void take_state_folder();
// At the end of the run: lets the folder's state go.
void release_state_folder();

// Brings back the control values of the last session, each register's bits
// from its field. The Status box is not part of the state, so this start-up's
// board messages stay.
void restore_panel_state();

// Saves the panel at the end of the run. Interactive (QUIT, closing the window):
// a failure or another program's claim on the file is asked about. Otherwise (a
// signal, the display gone) it is only said on the standard error.
void save_panel_state(bool interactive);
