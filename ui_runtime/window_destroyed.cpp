// A panel's window destroyed from outside (a window manager's or xdotool's
// "windowclose", which destroys the X window instead of asking it to close): the
// toolkit does not tell the widget, so the process would run on without a window.
// The X server's word that the window is gone is taken as the window's close.
#include "ui_runtime/ui_runtime_state.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QMetaObject>

#include <xcb/xcb.h>

namespace ui_layer {
namespace {

class WindowDestroyedFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t" || !message)
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY)
            return false;
        const xcb_window_t window = reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
        for (const auto& [handle, panel] : runtime().panels) {
            if (!panel->frame || !panel->frame->testAttribute(Qt::WA_WState_Created) ||
                static_cast<xcb_window_t>(panel->frame->winId()) != window)
                continue;
            // After the toolkit is done with the event: the callback may ask questions.
            const int closed = handle;
            QMetaObject::invokeMethod(
                runtime().app.get(), [closed] { dispatch_panel_event(closed, EVENT_CLOSE); }, Qt::QueuedConnection);
            break;
        }
        return false;
    }
};

}  // namespace

void watch_for_destroyed_windows()
{
    static WindowDestroyedFilter filter;
    if (QCoreApplication* app = runtime().app.get())
        app->installNativeEventFilter(&filter);
}

}  // namespace ui_layer
