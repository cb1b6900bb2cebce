#pragma once
// The register words out of the panel and back in, from the Tools menu.

void Copy_Register_Words(int menuBar, int menuItem, void* callbackData, int panel);
void Export_Registers(int menuBar, int menuItem, void* callbackData, int panel);
void Import_Registers(int menuBar, int menuItem, void* callbackData, int panel);
