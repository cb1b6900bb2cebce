#pragma once
// The Qt side of the panel layer, for tests and tools that drive or picture the
// real widgets: each control is the widget whose object name is its constant.

#include "ui_files/panel_state.h"
#include "ui_files/ui_resource.h"
#include "ui_runtime/ui_runtime.h"

#include <vector>

class QLabel;
class QMenuBar;
class QSize;
class QWidget;

// How many callbacks the operator's actions ran, and the deepest they nested.
struct CallbackStats {
    long dispatched = 0;
    int deepest = 0;
};
CallbackStats callback_stats();
void reset_callback_stats();

// The poll's timer runs out now, as it does every period: returns whether the
// callback ran (not while a modal box is up, nor inside another callback).
bool FirePollTimer();

QWidget* PanelWindow(int panel);
QMenuBar* PanelMenuBarWidget(int panel);
QWidget* CtrlWidget(int panel, int control);
QLabel* CtrlLabelWidget(int panel, int control);
// The descriptions of a panel's controls, in resource order.
std::vector<const ControlDef*> PanelControlDefs(int panel);
// The values of a loaded panel's controls that its state file holds, in resource order.
std::vector<StateValue> current_state(int panel);
// The description the control was built from.
const ControlDef* CtrlDef(int panel, int control);

// The size a top-level window may take on its screen: the screen's available
// area less the window's frame (title bar, borders), as far as it is known yet.
QSize ScreenRoom(QWidget* window);
// Resizes a top-level window to the size it would like, or as much of it as its
// screen has room for.
void ResizeWithinScreen(QWidget* window, const QSize& wanted);
