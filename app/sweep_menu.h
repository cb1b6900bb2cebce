#pragma once
// The sweep window, opened from the Tools menu.

void Open_Sweep_Window(int menuBar, int menuItem, void* callbackData, int panel);

// Ends a running sweep before its next point, as its Stop does: the main panel
// then shows the last point sent. Every way out of the program calls it before
// the panel is saved.
void end_running_sweep();
