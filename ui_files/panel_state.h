#pragma once
// The panel-state file: the values of a panel's controls as human-readable text,
// so that an engineer can read and diff it. Its first line names the application.
//
//   # <application> panel state 1
//   WINDOW_FREQ = 4175.0000953674316
//   WINDOW_COUNT = 7
//   WINDOW_TEXT = "idle"
//
// One line per control that holds a value, in resource order: integers in
// decimal, doubles with 17 significant digits so that they read back bit for bit,
// texts in double quotes with \" \\ \n and \r escaped. A byte-order mark and
// lines ended by CR LF or CR alone are read as well. Text boxes collect messages
// of the running program and are not part of the state.
//
// The format and its reader need no toolkit; saving and recalling a loaded
// panel's state are the panel layer's SavePanelState and RecallPanelState.

#include "ui_files/ui_resource.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The first line of the application's state files: "# <name> panel state 1".
std::string panel_state_header(const std::string& application);

// One control value of a state file. Numbers of every type are exact as doubles.
struct StateValue {
    const ControlDef* control = nullptr;
    double number = 0.0;
    std::string text;
};

// Whether a control's value belongs to the saved state.
bool is_saved_in_state(const ControlDef& control);

// The state file of the application's panel.
std::string format_state(const std::string& application, const std::vector<StateValue>& values);

// Reads and checks a whole state file against the panel's controls. Lines naming
// an unknown constant are skipped. On a fault returns false and says in *problem
// which line was wrong and why; *values is then untouched.
bool parse_state(std::string_view text, const std::string& application,
                 const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                 std::string* problem);

// A file of another kind that carries a panel's state under a first line of its
// own: its own lines ("NAME = value" with a name that is no control's, which the
// state's reader passes by) stand before the state's lines.
struct OwnLine {
    int number = 0;  // counted from 1, the first line included
    std::string name;
    std::string value;
};
std::string format_state_under(const std::string& header, const std::vector<OwnLine>& own,
                               const std::vector<StateValue>& values);
// Reads such a file as parse_state reads a state file, under its own first line
// (kind says what the file is, for the problem when that line is another);
// *own gets the lines that name no control, for the kind's reader to check.
bool parse_state_under(std::string_view text, const std::string& header, const std::string& kind,
                       const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                       std::vector<OwnLine>* own, std::string* problem);

// A state file holds at most this many bytes: the reader refuses a longer one,
// and the writer never writes one.
inline constexpr std::size_t kLargestStateFile = std::size_t{1} << 20;

// parse_state on the bytes read from a state file, at most kLargestStateFile + 1
// of them: a longer file is refused whole.
bool parse_state_file(std::string_view read, const std::string& application,
                      const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                      std::string* problem);

// Reads and checks the state file at path as a panel recalls it, without a panel.
// Only a regular file is read, and never by waiting (a FIFO is refused). Unless it
// fits, *problem says why: there is no file, the system's reason it cannot be
// read, or the line that was wrong.
enum class StateFileVerdict { Fits, Missing, Unreadable, DoesNotFit };
// The bytes of a state file, read as read_state_file reads them: Fits when they
// were read whole (not checked yet), else why not.
StateFileVerdict read_state_text(const std::string& path, std::string* text, std::string* problem);
StateFileVerdict read_state_file(const std::string& path, const std::string& application,
                                 const std::vector<const ControlDef*>& controls, std::vector<StateValue>* values,
                                 std::string* problem);
