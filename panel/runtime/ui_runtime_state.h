#pragma once
// What the panel layer keeps of its panels, controls and menu bars, shared by
// the files that build them, hold their values and run the event loop.

#include "panel/runtime/ui_resource.h"
#include "panel/runtime/ui_runtime.h"
#include "panel/runtime/ui_runtime_qt.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
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

struct Panel {
    int handle = 0;
    int resource_id = 0;
    std::unique_ptr<QWidget> window;
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
    int quit_code = 0;
    DelayFunction delay = nullptr;
};

Runtime& runtime();
Panel* find_panel(int handle);
// The control, or nullptr with the reason in *status.
Control* find_control(int panel, int control, int* status);
void set_text_color(QWidget* w, int rgb);

}  // namespace ui_layer
