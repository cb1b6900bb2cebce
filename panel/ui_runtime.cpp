#include "panel/ui_runtime.h"

#include "panel/artwork.h"
#include "panel/callback_table.h"
#include "panel/ui_resource.h"
#include "panel/ui_runtime_qt.h"
#include "panel/widgets.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>

#include <algorithm>
#include <cassert>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

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

const char* type_name(ValueType t)
{
    switch (t) {
    case ValueType::None: return "no value";
    case ValueType::Int: return "int";
    case ValueType::Unsigned: return "unsigned int";
    case ValueType::Double: return "double";
    case ValueType::Text: return "text";
    }
    return "?";
}

// A read or write in a type the control does not hold is a fault in the calling
// code, never an operator error: say which control, and stop a debug build there.
int wrong_type(const char* operation, const Control& c, ValueType used)
{
    std::fprintf(stderr, "%s: %s holds %s, used as %s\n", operation, c.def.constant.c_str(),
                 type_name(c.def.type), type_name(used));
    assert(!"control value used with the wrong type");
    return UI_ERR_WRONG_TYPE;
}

// Runs a callback for an operator action on a control.
void dispatch_control_event(int panel, int control, int event)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c || !c->callback)
        return;
    CtrlCallbackPtr callback = c->callback;
    Runtime& r = runtime();
    ++r.stats.dispatched;
    r.stats.deepest = std::max(r.stats.deepest, ++r.dispatch_depth);
    callback(panel, control, event, nullptr, 0, 0);
    --r.dispatch_depth;
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
    MenuCallbackPtr callback = cb->second;
    Runtime& r = runtime();
    ++r.stats.dispatched;
    r.stats.deepest = std::max(r.stats.deepest, ++r.dispatch_depth);
    callback(menu_bar, item, nullptr, panel);
    --r.dispatch_depth;
}

void apply_text_look(QWidget* w, const ControlDef& s)
{
    QFont f = w->font();
    if (s.bold)
        f.setBold(true);
    if (s.point_size > 0)
        f.setPointSize(s.point_size);
    w->setFont(f);
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

void place_label(QLabel* label, const ControlDef& s)
{
    if (s.kind == ControlKind::BitToggle) {  // a small number centred over its bit
        QFont small = label->font();
        small.setPointSize(7);
        label->setFont(small);
    }
    label->adjustSize();
    const QSize size = label->size();
    switch (s.label_place) {
    case LabelPlace::Top:
    case LabelPlace::None:
        if (s.kind == ControlKind::BitToggle) {
            label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            label->setGeometry(s.x - 3, s.y - size.height() - 1, s.width + 6, size.height());
        } else {
            label->move(s.x, s.y - size.height() - 1);
        }
        break;
    case LabelPlace::TopRight:
        label->move(s.x + s.width - size.width(), s.y - size.height() - 1);
        break;
    case LabelPlace::Left:
        label->move(s.x - size.width() - 4, s.y + (s.height - size.height()) / 2);
        break;
    }
}

QWidget* build_widget(Panel& panel, Control& c, QWidget* parent)
{
    const ControlDef& s = c.def;
    const int handle = panel.handle;
    const int id = s.id;
    auto commit = [handle, id] { dispatch_control_event(handle, id, EVENT_COMMIT); };

    switch (s.kind) {
    case ControlKind::Numeric: {
        auto* w = new NumericField(s.type == ValueType::Unsigned, s.minimum, s.maximum, s.increment,
                                   s.precision, parent);
        w->setHeld(s.initial);
        QObject::connect(w, &NumericField::committed, commit);
        return w;
    }
    case ControlKind::BinarySwitch: {
        auto* w = new BinarySwitch(QString::fromStdString(s.on_text), s.on_value,
                                   QString::fromStdString(s.off_text), s.off_value, parent);
        w->setValue(static_cast<int>(s.initial));
        QObject::connect(w, &BinarySwitch::committed, commit);
        return w;
    }
    case ControlKind::BitToggle: {
        auto* w = new BitToggle(parent);
        QObject::connect(w, &BitToggle::committed, commit);
        return w;
    }
    case ControlKind::CommandButton: {
        auto* w = new QPushButton(QString::fromStdString(s.text), parent);
        if (!s.shortcut.empty())
            w->setShortcut(QKeySequence(QString::fromStdString(s.shortcut)));
        // clicked comes from the operator (or a shortcut key) only.
        QObject::connect(w, &QPushButton::clicked, commit);
        return w;
    }
    case ControlKind::TextMessage: {
        auto* w = new QLabel(QString::fromStdString(s.text), parent);
        w->setTextFormat(Qt::PlainText);
        w->setWordWrap(s.wrap);
        if (s.align_center)
            w->setAlignment(Qt::AlignCenter);
        apply_text_look(w, s);
        return w;
    }
    case ControlKind::TextBox: {
        auto* w = new QPlainTextEdit(parent);
        w->setReadOnly(true);
        // Messages are only ever added: keeping an undo history would grow without end.
        w->setUndoRedoEnabled(false);
        w->setMaximumBlockCount(s.max_lines);
        w->setPlainText(QString::fromStdString(s.text));
        return w;
    }
    case ControlKind::Picture: {
        auto* w = new PictureBox(parent);
        w->setPixmap(draw_artwork(s.image, s.width, s.height));
        if (s.callback.empty())
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
        else
            QObject::connect(w, &PictureBox::clicked,
                             [handle, id](int event) { dispatch_control_event(handle, id, event); });
        return w;
    }
    case ControlKind::Decoration: {
        auto* w = new QFrame(parent);
        w->setFrameStyle(QFrame::Box | QFrame::Plain);
        w->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #7a8594; border-radius: 4px; }"));
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        return w;
    }
    }
    return nullptr;
}

bool build_menu_bar(Panel& panel, const MenuBarDef& def, QWidget* window)
{
    auto* bar = new QMenuBar(window);
    bar->setNativeMenuBar(false);
    bar->setObjectName(QString::fromStdString(def.constant));
    const int bar_handle = runtime().next_handle++;
    MenuBar record;
    record.panel = panel.handle;
    record.widget = bar;
    for (const MenuDef& m : def.menus) {
        QMenu* menu = bar->addMenu(QString::fromStdString(m.text));
        menu->setObjectName(QString::fromStdString(m.constant));
        for (const MenuItemDef& item : m.items) {
            QAction* action = menu->addAction(QString::fromStdString(item.text));
            action->setObjectName(QString::fromStdString(item.constant));
            const int item_id = item.id;
            record.callbacks[item_id] = item.callback.empty() ? nullptr : find_menu_callback(item.callback);
            QObject::connect(action, &QAction::triggered,
                             [bar_handle, item_id] { dispatch_menu_event(bar_handle, item_id); });
        }
    }
    bar->setGeometry(0, 0, window->width(), bar->sizeHint().height());
    runtime().menu_bars[bar_handle] = record;
    panel.menu_bar = bar_handle;
    return true;
}

// Every callback the resource names must have a function behind it.
bool callbacks_resolve(const UIResource& resource, const PanelDef& def)
{
    bool ok = true;
    for (const ControlDef& c : def.controls)
        if (!c.callback.empty() && !find_control_callback(c.callback)) {
            std::fprintf(stderr, "LoadPanel: no function for callback %s of %s\n", c.callback.c_str(),
                         c.constant.c_str());
            ok = false;
        }
    if (const MenuBarDef* bar = def.menu_bar.empty() ? nullptr : resource.menu_bar(def.menu_bar))
        for (const MenuDef& m : bar->menus)
            for (const MenuItemDef& item : m.items)
                if (!item.callback.empty() && !find_menu_callback(item.callback)) {
                    std::fprintf(stderr, "LoadPanel: no function for callback %s of %s\n",
                                 item.callback.c_str(), item.constant.c_str());
                    ok = false;
                }
    return ok;
}

int to_int(double value)
{
    if (!(value > -2147483648.0))  // also NaN
        return value > 0 ? 2147483647 : (std::isnan(value) ? 0 : -2147483647 - 1);
    if (value >= 2147483647.0)
        return 2147483647;
    return static_cast<int>(value);
}

// Start-up runs quietly: the one line printed when no display opens says it all.
QtMessageHandler previous_handler = nullptr;

[[noreturn]] void no_display(const char* why)
{
    std::fprintf(stderr, "zr-eval: no display could be opened (%s); start it on a desktop, "
                         "or headless with xvfb-run\n", why);
    std::fflush(stderr);
    std::_Exit(-1);
}

void startup_message_handler(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type == QtFatalMsg)
        no_display("the display server did not answer");
}

}  // namespace

// ---------------------------------------------------------------- runtime

int InitUIRuntime(int argc, char* argv[])
{
    Runtime& r = runtime();
    if (r.app)
        return UI_OK;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((platform.isEmpty() || platform.startsWith("xcb")) && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "zr-eval: no display could be opened (DISPLAY is not set); start it on a "
                             "desktop, or headless with xvfb-run\n");
        return UI_ERR_DISPLAY;
    }
    // QApplication keeps references to argc and argv for its whole life.
    static int app_argc = 0;
    static char** app_argv = nullptr;
    app_argc = argc;
    app_argv = argv;
    previous_handler = qInstallMessageHandler(startup_message_handler);
    r.app = std::make_unique<QApplication>(app_argc, app_argv);
    qInstallMessageHandler(previous_handler);
    QApplication::setQuitOnLastWindowClosed(false);
    // QApplication takes the desktop's locale for the C library too; formatted
    // numbers must keep the point whatever the desktop language.
    std::setlocale(LC_NUMERIC, "C");
    return UI_OK;
}

void CloseUIRuntime()
{
    Runtime& r = runtime();
    r.panels.clear();
    r.menu_bars.clear();
    r.app.reset();
}

int LoadPanel(int, const char* resourceFile, int panelResourceId)
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    std::string error;
    const std::optional<UIResource> resource = load_ui_resource(resourceFile ? resourceFile : "", &error);
    if (!resource) {
        std::fprintf(stderr, "LoadPanel: %s\n", error.c_str());
        return UI_ERR_RESOURCE;
    }
    const PanelDef* def = resource->panel(panelResourceId);
    if (!def)
        return UI_ERR_NO_SUCH_PANEL;
    if (!callbacks_resolve(*resource, *def))
        return UI_ERR_NO_SUCH_CALLBACK;

    auto panel = std::make_unique<Panel>();
    panel->handle = r.next_handle++;
    panel->resource_id = def->id;
    panel->window = std::make_unique<QWidget>();
    QWidget* window = panel->window.get();
    window->setObjectName(QString::fromStdString(def->constant));
    window->setWindowTitle(QString::fromStdString(def->title));
    window->setFixedSize(def->width, def->height);
    if (!def->menu_bar.empty())
        build_menu_bar(*panel, *resource->menu_bar(def->menu_bar), window);

    // Controls are built in resource order, so that each one lies over the ones before it.
    for (const ControlDef& s : def->controls) {
        Control& c = panel->controls[s.id];
        panel->order.push_back(s.id);
        c.def = s;
        c.callback = s.callback.empty() ? nullptr : find_control_callback(s.callback);
        c.widget = build_widget(*panel, c, window);
        c.widget->setObjectName(QString::fromStdString(s.constant));
        c.widget->setGeometry(s.x, s.y, s.width, s.height);
        if (s.color >= 0) {
            set_text_color(c.widget, s.color);
            c.text_color = s.color;
        }
        if (!s.label.empty()) {
            c.label = new QLabel(QString::fromStdString(s.label), window);
            c.label->setObjectName(QString::fromStdString(s.constant + "_label"));
            c.label->setTextFormat(Qt::PlainText);
            place_label(c.label, s);
            c.label->setHidden(!s.visible);
        }
        c.widget->setHidden(!s.visible);
    }
    const int handle = panel->handle;
    r.panels[handle] = std::move(panel);
    return handle;
}

int DisplayPanel(int panel)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    p->window->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))  // it has no stacking order
        p->window->raise();
    // The panel is drawn before DisplayPanel returns, even when a wait follows.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return UI_OK;
}

int HidePanel(int panel)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    p->window->hide();
    return UI_OK;
}

int DiscardPanel(int panel)
{
    Runtime& r = runtime();
    auto it = r.panels.find(panel);
    if (it == r.panels.end())
        return UI_ERR_BAD_HANDLE;
    std::unique_ptr<Panel> p = std::move(it->second);
    r.panels.erase(it);
    if (p->menu_bar)
        r.menu_bars.erase(p->menu_bar);
    p->window->hide();
    // A callback of this panel may still be running: let Qt delete the widgets
    // once control is back in the event loop.
    if (r.dispatch_depth > 0)
        p->window.release()->deleteLater();
    return UI_OK;
}

int GetPanelMenuBar(int panel)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    return p->menu_bar ? p->menu_bar : UI_ERR_BAD_HANDLE;
}

// ---------------------------------------------------------------- values

int GetCtrlVal(int panel, int control, int* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    if (c->def.type != ValueType::Int)
        return wrong_type("GetCtrlVal", *c, ValueType::Int);
    if (c->def.kind == ControlKind::BinarySwitch)
        *value = static_cast<BinarySwitch*>(c->widget)->value();
    else
        *value = static_cast<BitToggle*>(c->widget)->value();
    return UI_OK;
}

int GetCtrlVal(int panel, int control, unsigned int* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    if (c->def.type != ValueType::Unsigned)
        return wrong_type("GetCtrlVal", *c, ValueType::Unsigned);
    *value = static_cast<NumericField*>(c->widget)->heldUnsigned();
    return UI_OK;
}

int GetCtrlVal(int panel, int control, double* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    if (c->def.type != ValueType::Double)
        return wrong_type("GetCtrlVal", *c, ValueType::Double);
    *value = static_cast<NumericField*>(c->widget)->value();
    return UI_OK;
}

int GetCtrlVal(int panel, int control, std::string* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    if (c->def.type != ValueType::Text)
        return wrong_type("GetCtrlVal", *c, ValueType::Text);
    if (c->def.kind == ControlKind::TextBox)
        *value = static_cast<QPlainTextEdit*>(c->widget)->toPlainText().toStdString();
    else
        *value = static_cast<QLabel*>(c->widget)->text().toStdString();
    return UI_OK;
}

namespace {

// Writes a number into a numeric field, switch or toggle, converted to its type.
int set_number(Control& c, double as_double, uint32_t as_unsigned, int as_int, ValueType given)
{
    switch (c.def.type) {
    case ValueType::Unsigned:
        if (given == ValueType::Double)
            static_cast<NumericField*>(c.widget)->setHeld(as_double);
        else
            static_cast<NumericField*>(c.widget)->setHeldUnsigned(as_unsigned);
        return UI_OK;
    case ValueType::Double:
        static_cast<NumericField*>(c.widget)->setHeld(as_double);
        return UI_OK;
    case ValueType::Int:
        if (c.def.kind == ControlKind::BinarySwitch)
            static_cast<BinarySwitch*>(c.widget)->setValue(as_int);
        else
            static_cast<BitToggle*>(c.widget)->setValue(as_int);
        return UI_OK;
    case ValueType::None:
    case ValueType::Text:
        break;
    }
    return wrong_type("SetCtrlVal", c, given);
}

}  // namespace

int SetCtrlVal(int panel, int control, int value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    // An int written into an unsigned field is taken as its unsigned bit pattern.
    return set_number(*c, value, static_cast<uint32_t>(value), value, ValueType::Int);
}

int SetCtrlVal(int panel, int control, unsigned int value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    return set_number(*c, value, value, static_cast<int>(value), ValueType::Unsigned);
}

int SetCtrlVal(int panel, int control, double value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    const double whole = std::isfinite(value) ? std::trunc(value) : 0.0;
    const uint32_t as_unsigned = whole <= 0.0 ? 0u : whole >= 4294967295.0 ? 4294967295u : static_cast<uint32_t>(whole);
    return set_number(*c, value, as_unsigned, to_int(value), ValueType::Double);
}

int SetCtrlVal(int panel, int control, const char* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    if (c->def.type != ValueType::Text)
        return wrong_type("SetCtrlVal", *c, ValueType::Text);
    const QString text = QString::fromUtf8(value ? value : "");
    if (c->def.kind == ControlKind::TextBox) {
        // A text box collects what is written to it.
        auto* box = static_cast<QPlainTextEdit*>(c->widget);
        QTextCursor end = box->textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(text);
        box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    } else {
        static_cast<QLabel*>(c->widget)->setText(text);
    }
    return UI_OK;
}

// ---------------------------------------------------------------- attributes

int SetCtrlAttribute(int panel, int control, int attribute, int value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    QWidget* w = c->widget;
    switch (attribute) {
    case ATTR_VISIBLE:
        w->setHidden(value == 0);
        if (c->label)
            c->label->setHidden(value == 0);
        return UI_OK;
    case ATTR_DIMMED:
        c->dimmed = value != 0;
        w->setEnabled(!c->dimmed);
        if (c->label)
            c->label->setEnabled(!c->dimmed);
        return UI_OK;
    case ATTR_TEXT_COLOR:
        c->text_color = value;
        set_text_color(w, value);
        return UI_OK;
    case ATTR_TOP: w->move(w->x(), value); return UI_OK;
    case ATTR_LEFT: w->move(value, w->y()); return UI_OK;
    case ATTR_WIDTH: w->resize(value, w->height()); return UI_OK;
    case ATTR_HEIGHT: w->resize(w->width(), value); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int GetCtrlAttribute(int panel, int control, int attribute, int* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    const QWidget* w = c->widget;
    switch (attribute) {
    case ATTR_VISIBLE: *value = w->isHidden() ? 0 : 1; return UI_OK;
    case ATTR_DIMMED: *value = c->dimmed ? 1 : 0; return UI_OK;
    case ATTR_TEXT_COLOR: *value = c->text_color; return UI_OK;
    case ATTR_TOP: *value = w->y(); return UI_OK;
    case ATTR_LEFT: *value = w->x(); return UI_OK;
    case ATTR_WIDTH: *value = w->width(); return UI_OK;
    case ATTR_HEIGHT: *value = w->height(); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int SetPanelAttribute(int panel, int attribute, int value)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    QWidget* w = p->window.get();
    switch (attribute) {
    case ATTR_HEIGHT: w->setFixedHeight(value); return UI_OK;
    case ATTR_WIDTH: w->setFixedWidth(value); return UI_OK;
    case ATTR_TOP: w->move(w->x(), value); return UI_OK;
    case ATTR_LEFT: w->move(value, w->y()); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int GetPanelAttribute(int panel, int attribute, int* value)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    const QWidget* w = p->window.get();
    switch (attribute) {
    case ATTR_HEIGHT: *value = w->height(); return UI_OK;
    case ATTR_WIDTH: *value = w->width(); return UI_OK;
    case ATTR_TOP: *value = w->y(); return UI_OK;
    case ATTR_LEFT: *value = w->x(); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

// ---------------------------------------------------------------- event loop

int ProcessSystemEvents()
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return UI_OK;
}

int RunUserInterface()
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    if (r.quit_pending) {
        r.quit_pending = false;
        return r.quit_code;
    }
    QEventLoop loop;
    QEventLoop* outer = r.event_loop;
    r.event_loop = &loop;
    const int code = loop.exec();
    r.event_loop = outer;
    return code;
}

int QuitUserInterface(int code)
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    if (r.event_loop) {
        r.event_loop->exit(code);
    } else {
        // A callback run before the loop started (during the start-up blink, say)
        // ends the loop as soon as it starts.
        r.quit_pending = true;
        r.quit_code = code;
    }
    return UI_OK;
}

void SetDelayFunction(DelayFunction function)
{
    runtime().delay = function;
}

int Delay(double seconds)
{
    Runtime& r = runtime();
    if (r.delay) {
        r.delay(seconds);
        return UI_OK;
    }
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    // Keep painting and running timers, but hold operator input until the wait is over.
    QElapsedTimer clock;
    clock.start();
    const qint64 total_ms = seconds > 0.0 ? static_cast<qint64>(seconds * 1000.0) : 0;
    for (qint64 left = total_ms; left > 0; left = total_ms - clock.elapsed()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 10)));
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Input held back during the wait is dispatched only once the dispatcher wakes.
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
        d->wakeUp();
    return UI_OK;
}

int MessagePopup(const char* title, const char* message)
{
    if (!runtime().app)
        return UI_ERR_NO_RUNTIME;
    // Lines of the message may be separated by carriage returns.
    QString text = QString::fromUtf8(message ? message : "");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(title ? title : ""), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessagePopup"));
    box.exec();
    return UI_OK;
}

// ---------------------------------------------------------------- Qt side

CallbackStats callback_stats()
{
    return runtime().stats;
}

void reset_callback_stats()
{
    runtime().stats = CallbackStats{};
}

QWidget* PanelWindow(int panel)
{
    Panel* p = find_panel(panel);
    return p ? p->window.get() : nullptr;
}

QMenuBar* PanelMenuBarWidget(int panel)
{
    Panel* p = find_panel(panel);
    if (!p || !p->menu_bar)
        return nullptr;
    return runtime().menu_bars[p->menu_bar].widget;
}

QWidget* CtrlWidget(int panel, int control)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    return c ? c->widget : nullptr;
}

QLabel* CtrlLabelWidget(int panel, int control)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    return c ? c->label : nullptr;
}

std::vector<const ControlDef*> PanelControlDefs(int panel)
{
    std::vector<const ControlDef*> defs;
    if (Panel* p = find_panel(panel))
        for (int id : p->order)
            defs.push_back(&p->controls[id].def);
    return defs;
}

const ControlDef* CtrlDef(int panel, int control)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    return c ? &c->def : nullptr;
}

CtrlCallbackPtr CtrlCallback(int panel, int control)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    return c ? c->callback : nullptr;
}

MenuCallbackPtr MenuItemCallback(int menuBar, int menuItem)
{
    auto it = runtime().menu_bars.find(menuBar);
    if (it == runtime().menu_bars.end())
        return nullptr;
    auto cb = it->second.callbacks.find(menuItem);
    return cb == it->second.callbacks.end() ? nullptr : cb->second;
}
