#pragma once
// The sweep window, opened from the Tools menu.

void Open_Sweep_Window(int menuBar, int menuItem, void* callbackData, int panel);
