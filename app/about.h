#pragma once
// The About box and the maker's web link on the logo pictures.

#include "model/version.h"
#include "resource/product.h"

inline constexpr const char* kProductVersion = "v" ZR_VERSION;
inline constexpr const char* kMakerWebAddress = "https://www.corvane.example/";

// Menu callback of "Help" > "About".
void About(int menuBar, int menuItem, void* callbackData, int panel);

// Callback of the logo pictures: a left click opens the maker's web site.
int CORVANE(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Opens address in a new window of the desktop's web browser; every failure is
// ignored. Returns 0.
int Open_Web_Page(const char* address);
