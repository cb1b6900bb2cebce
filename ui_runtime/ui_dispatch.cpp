// Operator events turned into callbacks: each dispatcher finds the callback of
// the control, menu item or panel, and runs it, counted and nested.
#include "ui_runtime/ui_runtime_state.h"

#include <algorithm>

namespace ui_layer {

namespace {

template <typename Call>
void run_counted(Call call)
{
    Runtime& r = runtime();
    ++r.stats.dispatched;
    r.stats.deepest = std::max(r.stats.deepest, ++r.dispatch_depth);
    call();
    --r.dispatch_depth;
}

}  // namespace

void dispatch_control_event(int panel, int control, int event)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c || !c->callback)
        return;
    const CtrlCallbackPtr callback = c->callback;
    run_counted([&] { callback(panel, control, event, nullptr, 0, 0); });
}

void dispatch_menu_event(int menu_bar, int item)
{
    auto it = runtime().menu_bars.find(menu_bar);
    if (it == runtime().menu_bars.end())
        return;
    auto cb = it->second.callbacks.find(item);
    if (cb == it->second.callbacks.end() || !cb->second)
        return;
    const int panel = it->second.panel;
    const MenuCallbackPtr callback = cb->second;
    run_counted([&] { callback(menu_bar, item, nullptr, panel); });
}

void dispatch_panel_event(int panel, int event)
{
    Panel* p = find_panel(panel);
    if (!p || !p->callback)
        return;
    const PanelCallbackPtr callback = p->callback;
    run_counted([&] { callback(panel, event, nullptr, 0, 0); });
}

}  // namespace ui_layer

CallbackStats callback_stats()
{
    return ui_layer::runtime().stats;
}

void reset_callback_stats()
{
    ui_layer::runtime().stats = CallbackStats{};
}
