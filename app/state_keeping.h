#pragma once
// The working directory's "panel.sts", kept safe. A run holds the folder's state
// for its life (a second zr-eval in the folder is told so and asks before saving
// over it); a file that start-up refuses is moved aside before anything can
// overwrite it; a failed save is said, and can be retried, made elsewhere or
// given up.

#include <string>

// At start, before the restore: takes the folder's state (or says that another
// zr-eval holds it, or that its lock cannot be taken, and then asks before saving
// over it) and removes the temporary files of its own saves killed half-way.
void take_state_folder();
// At the end of the run: lets the folder's state go.
void release_state_folder();

// Brings back the control values of the last session, each register's bits
// from its field. The Status box is not part of the state, so this start-up's
// board messages stay.
void restore_panel_state();

// When path is, or would be written as, one of the files the program keeps in
// its folder for itself (panel.sts, its lock, a temporary of its save), by any
// path, symbolic or hard link: what that file is ("panel.sts.lock is the lock
// that ..."), for a refusal. Else "".
std::string own_file_refusal(const std::string& path);

// Whether a file chosen for saving `what` ("the setup") is one of those files;
// then a box with the title says so, and nothing is to be written.
bool refused_as_own_file(const std::string& path, const char* title, const char* what);

// Saves the panel at the end of the run. Interactive (QUIT, closing the window):
// a failure or another program's claim on the file is asked about. Otherwise (a
// signal, the display gone) it is only said on the standard error.
void save_panel_state(bool interactive);
