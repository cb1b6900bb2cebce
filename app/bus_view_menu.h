#pragma once
// The bus view, opened from the Tools menu.

void Open_Bus_View(int menuBar, int menuItem, void* callbackData, int panel);
