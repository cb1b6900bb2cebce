#pragma once
// A named setup: the main panel's state as the panel-state file holds it, with
// the part in force, under a first line of its own, so that a setup is never
// taken for the panel.sts of start-up, nor panel.sts for a setup:
//
//   # zr-eval setup 1
//   PART = "ZR3500"
//   PANEL_REF_FREQ = 100
//   ...
//
// The state's lines are read by the panel-state reader; no toolkit, so the
// command-line tool reads setups as the panel does, and panel states alike.

#include "ui_files/panel_state.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string setup_header();
inline constexpr const char* kSetupPartLine = "PART";

// The parts' names as the part menu shows them: "ZR3100" for part 0, "ZR3500" for 1.
const std::string& part_menu_name(int part);

std::string format_setup(int part, const std::vector<StateValue>& values);

// What a setup or a panel-state file holds: the values of the main panel's
// controls and the part. A panel state's part is the one its part text names, or
// none when it names none ("Select Part").
struct SettingsFile {
    bool setup = false;  // a setup, not a panel state
    std::optional<int> part;
    std::vector<StateValue> values;
};

// Checks the whole text, a setup or a panel state, against the main panel's
// controls. On a fault returns false and says in *problem which line was wrong
// and why; *out is then untouched.
bool parse_settings_file(std::string_view text, const std::vector<const ControlDef*>& controls, SettingsFile* out,
                         std::string* problem);

// Reads and checks a setup or panel-state file as the panel-state reader reads a
// file: only a regular file, never by waiting, at most a panel state's size.
StateFileVerdict read_settings_file(const std::string& path, const std::vector<const ControlDef*>& controls,
                                    SettingsFile* out, std::string* problem);
