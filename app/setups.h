#pragma once
// Named setups of the whole panel: the panel-state format with the selected part.

void Save_Setup(int menuBar, int menuItem, void* callbackData, int panel);
void Open_Setup(int menuBar, int menuItem, void* callbackData, int panel);
