#include "ui_runtime/ui_runtime_state.h"

namespace ui_layer {

// Never destroyed by the C++ run-time: Qt's own globals may be gone by then.
// CloseUIRuntime takes everything down in order.
Runtime& runtime()
{
    static Runtime* r = new Runtime;
    return *r;
}

Panel* find_panel(int handle)
{
    auto it = runtime().panels.find(handle);
    return it == runtime().panels.end() ? nullptr : it->second.get();
}

Control* find_control(int panel, int control, int* status)
{
    Panel* p = find_panel(panel);
    if (!p) {
        *status = UI_ERR_BAD_HANDLE;
        return nullptr;
    }
    auto it = p->controls.find(control);
    if (it == p->controls.end()) {
        *status = UI_ERR_NO_SUCH_CONTROL;
        return nullptr;
    }
    *status = UI_OK;
    return &it->second;
}

void set_text_color(QWidget* w, int rgb)
{
    QPalette pal = w->palette();
    const QColor color(QRgb(static_cast<unsigned>(rgb) & 0xFFFFFFu));
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::ButtonText, color);
    w->setPalette(pal);
}

}  // namespace ui_layer
