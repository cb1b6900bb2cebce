#pragma once
// The program's name, its files and the main panel's height, which start-up
// and shutdown share.

#include "resource/built_in_resource.h"

// The UI resource, carried inside the program, and the panel-state file in the
// working directory.
inline constexpr const char* kResourceFile = "New_Panel.uir";
inline constexpr const char* kPanelStateFile = "panel.sts";

// The main panel's height when shown: the resource stores 608, which hides QUIT
// and Status.
inline constexpr int kMainPanelHeight = 805;
