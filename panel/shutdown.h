#pragma once
// The program's way out.

// Callback of QUIT: closes the board, saves the panel state and ends the event loop.
int Shutdown(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
