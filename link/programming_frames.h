#pragma once
// "Program Device" and the option switches.

// Callback of "Program Device".
int SEND_DATA(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Callback of the option switches Mod Select, RAND_EN, MASH2SEL, ENH and LNM: it
// refreshes the option flags and the frequency display. A switch never writes to
// the board; its level goes out with the next "Program Device".
int callbacks(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
