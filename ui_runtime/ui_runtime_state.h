#pragma once
// What the panel layer keeps of its panels, controls and menu bars, shared by
// the files that build them, hold their values and run the event loop.

#include "ui_files/ui_resource.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

namespace ui_layer {

struct Control {
    ControlDef def;
    QWidget* widget = nullptr;
    QLabel* label = nullptr;
    CtrlCallbackPtr callback = nullptr;
    bool dimmed = false;
    int text_color = 0;
};

// The window of a panel: the panel at its own fixed size inside a scroll area, so
// that a screen smaller than the panel shows scroll bars instead of cutting it off.
// Closing the window runs the panel's callback when it has one.
class PanelFrame : public QScrollArea {
public:
    explicit PanelFrame(int handle) : handle_(handle) {}
    // The frame's size for the panel: the panel's own, or what the screen has room for.
    void fitToPanel();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    int handle_;
};

struct Panel {
    int handle = 0;
    int resource_id = 0;
    std::unique_ptr<PanelFrame> frame;  // the window; it owns the panel widget
    QWidget* window = nullptr;          // the panel itself
    PanelCallbackPtr callback = nullptr;
    std::map<int, Control> controls;
    std::vector<int> order;  // control ids in resource order
    int menu_bar = 0;  // handle, 0: none
};

struct MenuBar {
    int panel = 0;
    QMenuBar* widget = nullptr;
    std::map<int, MenuCallbackPtr> callbacks;
};

struct Runtime {
    std::unique_ptr<QApplication> app;
    UIApplication application;
    std::map<int, std::unique_ptr<Panel>> panels;
    std::map<int, MenuBar> menu_bars;
    int next_handle = 1;
    int dispatch_depth = 0;  // callbacks running now, nested ones included
    CallbackStats stats;
    QEventLoop* event_loop = nullptr;
    bool quit_pending = false;  // asked to quit before the loop ran
    bool popups_dismissed = false;  // the run ends without waiting for answers
    int quit_code = 0;
    DelayFunction delay = nullptr;
    TerminationCallbackPtr on_termination = nullptr;
    DisplayLostCallbackPtr on_display_lost = nullptr;
    std::unique_ptr<QTimer> poll_timer;
    PollCallbackPtr on_poll = nullptr;
};

Runtime& runtime();
// From the start of the runtime: a panel's window destroyed from outside runs
// the panel's callback with EVENT_CLOSE, as closing it would.
void watch_for_destroyed_windows();
// Run the callback of an operator action on a control, a menu item or the panel itself.
void dispatch_control_event(int panel, int control, int event);
void dispatch_menu_event(int menu_bar, int item);
void dispatch_panel_event(int panel, int event);
Panel* find_panel(int handle);
// The control, or nullptr with the reason in *status.
Control* find_control(int panel, int control, int* status);
void set_text_color(QWidget* w, int rgb);

}  // namespace ui_layer
