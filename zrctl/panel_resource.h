#pragma once
// The main panel as zr-eval's built-in UI resource declares it, read once: the
// ranges and first-start values of its fields and switches, the controls its
// state file holds, and the parts' names on the part menu.

#include "ui_files/ui_resource.h"

#include <string>
#include <vector>

// A control of the main panel, by its constant (PANEL_M_REG).
const ControlDef& panel_control(int control);
// Every control of the main panel, in resource order.
const std::vector<const ControlDef*>& panel_controls();
// The part's name as its menu item shows it: "ZR3100" for part 0, "ZR3500" for 1.
const std::string& part_name(int part);
