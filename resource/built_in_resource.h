#pragma once
// zr-eval's UI resource "New_Panel.uir" as every program of the project carries
// it, and what reading it and a panel-state file needs: the program's name and
// the numbers of the resource's constants. No toolkit: the command-line tool
// reads them as the panel does.

#include "ui_files/ui_application.h"

#include <string_view>

inline constexpr const char* kProgramName = "zr-eval";

// The text of New_Panel.uir, built in from the one source file.
std::string_view new_panel_resource_text();

// The program's name and the look-ups of the resource's panels, controls and
// menu items; no callbacks and no pictures.
const UIApplication& new_panel_names();
