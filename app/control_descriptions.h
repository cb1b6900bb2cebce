#pragma once
// What each control of the main panel is, shown as its tooltip: its meaning, its
// range, and where its bits travel in the serial words.

#include <string>

// Gives every control of the loaded main panel its tooltip.
void describe_main_panel_controls(int panel);

struct ControlDef;
// The tooltip of one control of the main panel.
std::string control_description(const ControlDef& control);
