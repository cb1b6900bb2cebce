#pragma once
// What an operator does at a panel, through the real widgets, and the names of
// the main panel's controls for messages.

#include <string>
#include <vector>

class QWidget;

// A left click in the middle of a widget.
void operator_click(QWidget* widget);

// Replaces the text of a numeric field with what is typed, then presses Enter
// (or, with leave set, moves the focus away instead).
void operator_type(QWidget* field, const std::string& typed, bool leave = false);

// Chooses the menu item of that constant name ("MENU_TOOLS_BUS_VIEW") in a menu bar.
void operator_choose(QWidget* menu_bar, const std::string& item);

// Answers the next modal box the program shows, as soon as it shows it: presses
// the button with that text, in a file box chooses that path, and in a box that
// asks for a text gives that text (last_popup_text is then the text it offered).
void answer_next_popup(const std::string& answer);
// Answers the next modal box by cancelling it (Esc), whatever it is.
void cancel_next_popup();
// How many prepared answers were given so far, and the text of the last box answered.
int popups_answered();
std::string last_popup_text();
// The kinds of file the last file box answered offered, in order ("Setups (*.zrs)", ..., "All files (*)").
std::vector<std::string> last_file_kinds();

// The constant name of a main-panel control ("PANEL_M_REG").
std::string control_name(int control);

// The main-panel control of that constant name, or -1.
int control_named(const std::string& name);
