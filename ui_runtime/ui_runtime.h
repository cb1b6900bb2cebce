#pragma once
// The panel layer: panels built from a UI resource, typed control values and
// attributes, operator events delivered to callbacks, the event loop, delays,
// message boxes and web addresses. Everything above this header is toolkit-free;
// Qt stays below it. The layer knows no application: one hands it, at start, its
// name, the numbers of the resource's names, its callbacks and its pictures.
//
// Writing a control's value or attribute from code raises no event and runs no
// callback. Only an operator action commits: a click on a switch, toggle, button
// or menu item; Enter in a numeric field, an arrow step, or leaving a field whose
// text was edited.

#include "ui_files/ui_application.h"

#include <string>
#include <vector>

struct StateValue;

// Status values of the layer's calls: 0 or a handle on success, negative on failure.
enum UIStatus : int {
    UI_OK = 0,
    UI_ERR_NO_RUNTIME = -1,         // the runtime was not initialised
    UI_ERR_RESOURCE = -2,           // the UI resource cannot be read or is malformed
    UI_ERR_NO_SUCH_PANEL = -3,      // the resource holds no such panel
    UI_ERR_NO_SUCH_CALLBACK = -4,   // a callback name with no function behind it
    UI_ERR_BAD_HANDLE = -5,         // not the handle of a loaded panel or menu bar
    UI_ERR_NO_SUCH_CONTROL = -6,    // the panel has no such control
    UI_ERR_BAD_ATTRIBUTE = -8,      // the attribute does not apply to this control or panel
    UI_ERR_DISPLAY = -9,            // no display could be opened
    UI_ERR_STATE_FILE = -10,        // the panel-state file is missing or cannot be read or written
    UI_ERR_STATE_CONTENT = -11,     // the panel-state file does not fit the panel
    UI_ERR_STATE_UNREADABLE = -12,  // the panel-state file is there but cannot be read (or is no file)
};

// Events passed to control and panel callbacks.
enum UIEvent : int {
    EVENT_COMMIT = 1,
    EVENT_LEFT_CLICK = 3,
    EVENT_RIGHT_CLICK = 4,
    EVENT_CLOSE = 6,  // panel: the operator closed its window (title bar, window manager)
};

// Control and panel attributes.
enum UIAttribute : int {
    ATTR_VISIBLE = 1,     // control: 0 hidden, 1 shown
    ATTR_DIMMED = 2,      // control: 0 active, 1 dimmed (shown, but takes no input)
    ATTR_TEXT_COLOR = 3,  // control: 0xRRGGBB
    ATTR_TOP = 4,         // control or panel, pixels
    ATTR_LEFT = 5,
    ATTR_WIDTH = 6,
    ATTR_HEIGHT = 7,
};

// Starts the runtime with the program's arguments for the application. Returns
// 0, or UI_ERR_DISPLAY after printing one line when no display can be opened.
int InitUIRuntime(int argc, char* argv[], const UIApplication& application);
// Discards every panel and ends the runtime.
void CloseUIRuntime();

// Builds a panel from the UI resource resourceFile (looked up first among the
// resources carried inside the program, then on disk). Returns the new panel's
// handle, or a negative status.
int LoadPanel(int parentPanel, const char* resourceFile, int panelResourceId);
int DisplayPanel(int panel);
// The panel's own callback, for events of the panel itself (EVENT_CLOSE). Without
// one, closing a panel's window hides it.
int InstallPanelCallback(int panel, PanelCallbackPtr callback);
int DiscardPanel(int panel);
// The handle of a panel's menu bar, or a negative status.
int GetPanelMenuBar(int panel);

// Control values, each read in the control's own type: int for switches and bit
// toggles, unsigned int for register fields, double for frequency fields, text for
// text messages and text boxes. Reading in another type is a programming error.
int GetCtrlVal(int panel, int control, int* value);
int GetCtrlVal(int panel, int control, unsigned int* value);
int GetCtrlVal(int panel, int control, double* value);
int GetCtrlVal(int panel, int control, std::string* value);

// Numeric writes are converted to the control's type. A double outside its
// field's range is held and shown as written, and the field marks it; an unsigned
// field coerces every value into its range, as the operator's entries are. A text replaces a text
// message's text and is appended to a text box's.
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, unsigned int value);
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, const char* value);

int SetCtrlAttribute(int panel, int control, int attribute, int value);
// What a control is, shown when the pointer rests on it (and on its label).
int SetCtrlToolTip(int panel, int control, const char* text);
int GetCtrlAttribute(int panel, int control, int attribute, int* value);
int SetPanelAttribute(int panel, int attribute, int value);
int GetPanelAttribute(int panel, int attribute, int* value);

// Lets pending events run their callbacks, then returns.
int ProcessSystemEvents();
// Runs callbacks until one of them calls QuitUserInterface; returns its code.
int RunUserInterface();
// SIGTERM, SIGINT and SIGHUP no longer end the program at once: each one runs the
// callback from the event loop (or from the next ProcessSystemEvents or Delay).
int InstallTerminationCallback(TerminationCallbackPtr callback);
// When the display goes away under the running program (the X server ends), the
// toolkit cannot go on: the callback runs once, then the program ends with
// status 1. It must not need the display.
using DisplayLostCallbackPtr = void (*)();
int InstallDisplayLostCallback(DisplayLostCallbackPtr callback);
int QuitUserInterface(int code);

// Waits for the given time while the panels keep repainting; operator input
// waits until the delay is over.
int Delay(double seconds);
// Tests replace the wait; nullptr restores the real one.
using DelayFunction = void (*)(double seconds);
void SetDelayFunction(DelayFunction function);

// The values of every control of a panel that holds one, saved to or restored
// from a panel-state file (see panel_state.h); visibility and dimming are not part
// of it. Only state index 0 exists. Saving replaces the file in one step (through
// a symbolic link to its target, keeping its mode and owner), so a failed save
// leaves the previous file whole; a read-only file is a failed save. Restoring
// reads only a regular file and checks the whole file first: a file that does not
// fit the panel changes nothing. *problem says what went wrong, or which line.
int SavePanelState(int panel, const char* file, int stateIndex, std::string* problem = nullptr);
int RecallPanelState(int panel, const char* file, int stateIndex, std::string* problem = nullptr);
// Writes values read and checked by the panel-state reader (from a state file or
// a file of another kind that carries one) into the panel's controls, as
// RecallPanelState does once its file is checked.
int SetPanelStateValues(int panel, const std::vector<StateValue>& values);

// A modal message box with one button; returns when the operator dismisses it.
int MessagePopup(const char* title, const char* message);

// A modal message box with up to three buttons (a null or empty text leaves one
// out), and a cancel button of that text, which Esc presses, when one is given.
// A box that offers a choice is shown as a question. Returns the number of the
// button pressed, 1 to 3, or 0 when the box was cancelled or closed otherwise.
int GenericMessagePopup(const char* title, const char* message, const char* button1, const char* button2,
                        const char* button3, const char* cancel = nullptr);

// The file boxes offer the kinds of file given, as "Setups (*.zrs);;Panel
// states (*.sts)", the first one chosen, and then all files.

// Asks where to save a file, starting in folder with name. Returns 1 with the
// chosen path in *path, or 0 when the operator cancelled.
int FileSelectPopup(const char* folder, const char* name, const char* title, std::string* path,
                    const char* kinds = nullptr);

// Asks for an existing file to open, starting in folder. Returns 1 with the
// chosen path in *path, or 0 when the operator cancelled.
int FileOpenPopup(const char* folder, const char* title, std::string* path, const char* kinds = nullptr);

// A modal box that asks for a text of several lines, showing *text to begin
// with. Returns 1 with the text in *text when the operator confirmed it, or 0.
int PromptPopup(const char* title, const char* message, std::string* text);

// A modal box that lists items and asks for one of them, item *chosen chosen to
// begin with. Returns 1 with the index of the chosen item in *chosen, or 0 when
// the operator cancelled (or there was nothing to choose).
int ListSelectPopup(const char* title, const char* message, const std::vector<std::string>& items, int* chosen);

// Runs the callback about every given number of seconds from the event loop, but
// never while a modal box is up (its question waits undisturbed, and nothing
// changes under it) nor nested inside another callback. A later call replaces
// the callback; nullptr stops it.
using PollCallbackPtr = void (*)();
int InstallPollCallback(double seconds, PollCallbackPtr callback);

// Closes the modal boxes on screen unanswered, and until RunUserInterface returns
// makes every popup above return at once as if closed unanswered: for a way out
// that waits for nobody, as a signal's.
int DismissPopups();

// The desktop's clipboard, as text.
int ClipboardPutText(const char* text);
int ClipboardGetText(std::string* text);

// Opens a web address in the desktop's browser. Returns 0 when it was handed over.
int OpenWebAddress(const char* address);
