#pragma once
// The "Select Part" menu: ZR3100 (integer mode) or ZR3500 (fractional mode).

// Menu callback of both part items.
void Select_Mode(int menuBar, int menuItem, void* callbackData, int panel);

// Shows the fractional set of controls when flag is non-zero, hides it otherwise.
void Change_Panel(int flag);
