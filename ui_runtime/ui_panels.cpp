// Panels built from the UI resource, with their windows, and the Qt side that
// tests and tools use.
#include "ui_runtime/ui_resource_file.h"
#include "ui_runtime/ui_runtime_state.h"
#include "ui_runtime/widgets.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

using namespace ui_layer;

namespace {

// A menu text with a mnemonic: the first letter or digit that no sibling uses yet.
// The text shown stays the same; only the letter is underlined.
QString with_mnemonic(const std::string& text, std::set<QChar>* taken)
{
    QString t = QString::fromStdString(text);
    t.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i].toLower();
        if (c.isLetterOrNumber() && taken->insert(c).second)
            return t.left(i) + QLatin1Char('&') + t.mid(i);
    }
    return t;
}

// The application's picture of that name, or an empty one.
QPixmap picture(const std::string& name, int width, int height)
{
    const UIApplication& app = runtime().application;
    if (!app.paint_picture || width <= 0 || height <= 0)
        return QPixmap();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // QImage rows are 32-bit aligned, so a row of ARGB32 pixels has no padding.
    if (!app.paint_picture(name.c_str(), width, height, reinterpret_cast<uint32_t*>(image.bits())))
        return QPixmap();
    return QPixmap::fromImage(image);
}

CtrlCallbackPtr control_callback(const std::string& name)
{
    const UIApplication& app = runtime().application;
    return app.control_callback ? app.control_callback(name) : nullptr;
}

MenuCallbackPtr menu_callback(const std::string& name)
{
    const UIApplication& app = runtime().application;
    return app.menu_callback ? app.menu_callback(name) : nullptr;
}

// A control's tooltip with the key that works it, when it has one.
QString with_shortcut(const QString& tip, const ControlDef& s)
{
    if (s.shortcut.empty())
        return tip;
    const QString key = QKeySequence(QString::fromStdString(s.shortcut)).toString(QKeySequence::NativeText);
    return (tip.isEmpty() ? QString() : tip + QLatin1Char(' ')) + QStringLiteral("Shortcut: %1.").arg(key);
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
        // Enter presses a button that has the focus, as Space does.
        w->setAutoDefault(true);
        if (!s.shortcut.empty()) {
            // The key presses the button at once, as a click does: the button takes
            // the focus first, so that a field being typed in commits its text
            // before the button's callback reads it.
            auto* key = new QShortcut(QKeySequence(QString::fromStdString(s.shortcut)), w);
            QObject::connect(key, &QShortcut::activated, w, [w] {
                if (!w->isEnabled() || !w->isVisible())
                    return;
                w->setFocus(Qt::ShortcutFocusReason);
                w->click();
            });
            w->setToolTip(with_shortcut(QString(), s));
        }
        // clicked comes from the operator (or a shortcut key) only.
        QObject::connect(w, &QPushButton::clicked, commit);
        return w;
    }
    case ControlKind::TextMessage: {
        auto* w = s.fit ? new FittedTextLabel(QString::fromStdString(s.text), parent)
                        : new QLabel(QString::fromStdString(s.text), parent);
        w->setTextFormat(Qt::PlainText);
        // Results and formulas can be selected and copied.
        w->setTextInteractionFlags(Qt::TextSelectableByMouse);
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
        // Tab leaves the box instead of staying in it.
        w->setTabChangesFocus(true);
        w->setMaximumBlockCount(s.max_lines);
        w->setPlainText(QString::fromStdString(s.text));
        return w;
    }
    case ControlKind::Picture: {
        auto* w = new PictureBox(parent);
        w->setPixmap(picture(s.image, s.width, s.height));
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
    std::set<QChar> menu_letters;
    for (const MenuDef& m : def.menus) {
        QMenu* menu = bar->addMenu(with_mnemonic(m.text, &menu_letters));
        menu->setObjectName(QString::fromStdString(m.constant));
        std::set<QChar> item_letters;
        for (const MenuItemDef& item : m.items) {
            QAction* action = menu->addAction(with_mnemonic(item.text, &item_letters));
            action->setObjectName(QString::fromStdString(item.constant));
            if (!item.shortcut.empty())
                action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut)));
            const int item_id = item.id;
            record.callbacks[item_id] = item.callback.empty() ? nullptr : menu_callback(item.callback);
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
        if (!c.callback.empty() && !control_callback(c.callback)) {
            std::fprintf(stderr, "%s: no function for callback %s of %s\n", runtime().application.name.c_str(), c.callback.c_str(),
                         c.constant.c_str());
            ok = false;
        }
    if (const MenuBarDef* bar = def.menu_bar.empty() ? nullptr : resource.menu_bar(def.menu_bar))
        for (const MenuDef& m : bar->menus)
            for (const MenuItemDef& item : m.items)
                if (!item.callback.empty() && !menu_callback(item.callback)) {
                    std::fprintf(stderr, "%s: no function for callback %s of %s\n",
                                 runtime().application.name.c_str(), item.callback.c_str(), item.constant.c_str());
                    ok = false;
                }
    return ok;
}

}  // namespace

int LoadPanel(int, const char* resourceFile, int panelResourceId)
{
    Runtime& r = runtime();
    if (!r.app)
        return UI_ERR_NO_RUNTIME;
    std::string error;
    const std::optional<UIResource> resource =
        load_ui_resource(resourceFile ? resourceFile : "", r.application, &error);
    if (!resource) {
        std::fprintf(stderr, "%s: %s\n", r.application.name.c_str(), error.c_str());
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
    panel->frame = std::make_unique<PanelFrame>(panel->handle);
    panel->frame->setObjectName(QString::fromStdString(def->constant));
    panel->frame->setWindowTitle(QString::fromStdString(def->title));
    auto* window = new QWidget;
    panel->window = window;
    window->setObjectName(QString::fromStdString(def->constant + "_panel"));
    window->setFixedSize(def->width, def->height);
    // A click on the panel's background takes the focus, and so commits a field's
    // pending edit as leaving the field does.
    window->setFocusPolicy(Qt::ClickFocus);
    panel->frame->setWidget(window);
    if (!def->menu_bar.empty())
        build_menu_bar(*panel, *resource->menu_bar(def->menu_bar), window);

    // Controls are built in resource order, so that each one lies over the ones before it.
    for (const ControlDef& s : def->controls) {
        Control& c = panel->controls[s.id];
        panel->order.push_back(s.id);
        c.def = s;
        c.callback = s.callback.empty() ? nullptr : control_callback(s.callback);
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
    // The bits of one register (the toggles that share a callback) are one row and one Tab stop.
    std::map<std::string, std::vector<std::pair<int, BitToggle*>>> rows;
    for (int id : panel->order) {
        const Control& c = panel->controls[id];
        if (c.def.kind == ControlKind::BitToggle)
            rows[c.def.callback].emplace_back(c.def.x, static_cast<BitToggle*>(c.widget));
    }
    for (auto& [callback, row] : rows) {
        std::stable_sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<BitToggle*> toggles;
        for (const auto& [x, t] : row)
            toggles.push_back(t);
        BitToggle::formRow(toggles);
    }
    const int handle = panel->handle;
    const int resource_id = panel->resource_id;
    r.panels[handle] = std::move(panel);
    if (r.application.panel_loaded)
        r.application.panel_loaded(handle, resource_id);
    return handle;
}

int InstallPanelCallback(int panel, PanelCallbackPtr callback)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    p->callback = callback;
    return UI_OK;
}

int SetCtrlToolTip(int panel, int control, const char* text)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    const QString tip = with_shortcut(QString::fromUtf8(text ? text : ""), c->def);
    if (auto* field = qobject_cast<NumericField*>(c->widget))
        field->setDescription(tip);
    else if (auto* fitted = qobject_cast<FittedTextLabel*>(c->widget))
        fitted->setDescription(tip);
    else
        c->widget->setToolTip(tip);
    if (c->label)
        c->label->setToolTip(tip);
    return UI_OK;
}

int DisplayPanel(int panel)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    p->frame->fitToPanel();
    p->frame->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))  // it has no stacking order
        p->frame->raise();
    // The panel is drawn before DisplayPanel returns, even when a wait follows.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
    p->frame->hide();
    // A callback of this panel may still be running: let Qt delete the widgets
    // once control is back in the event loop.
    if (r.dispatch_depth > 0)
        p->frame.release()->deleteLater();
    return UI_OK;
}

int GetPanelMenuBar(int panel)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    return p->menu_bar ? p->menu_bar : UI_ERR_BAD_HANDLE;
}

// ---------------------------------------------------------------- the panel's window

namespace ui_layer {

void PanelFrame::fitToPanel()
{
    QWidget* panel = widget();
    if (!panel)
        return;
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    // The panel's own size, unless the screen is smaller: then scroll bars.
    const QSize whole = panel->size();
    const QSize bars(verticalScrollBar()->sizeHint().width(), horizontalScrollBar()->sizeHint().height());
    setMaximumSize(whole + bars);
    const QSize room = ScreenRoom(this);
    QSize size = whole.boundedTo(room);
    // A scroll bar takes its room from the panel: the other bar is not made
    // necessary by it where the screen has the room.
    if (size.height() < whole.height())
        size.setWidth(std::min(whole.width() + bars.width(), room.width()));
    if (size.width() < whole.width())
        size.setHeight(std::min(whole.height() + bars.height(), room.height()));
    resize(size);
}

void PanelFrame::closeEvent(QCloseEvent* event)
{
    // (QFrame has a Panel of its own.)
    ui_layer::Panel* p = find_panel(handle_);
    if (!p || !p->callback) {
        event->accept();
        return;
    }
    // The program decides what closing means; the window stays until it does.
    event->ignore();
    dispatch_panel_event(handle_, EVENT_CLOSE);
}

}  // namespace ui_layer

// ---------------------------------------------------------------- Qt side

QSize ScreenRoom(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QRect room = screen->availableGeometry();
    // The window system gives a window's frame once the window exists (and, on
    // some, only once it was framed); until then, leave room for a title bar.
    QMargins frame(0, 40, 0, 0);
    window->winId();
    if (const QWindow* native = window->windowHandle(); native && !native->frameMargins().isNull())
        frame = native->frameMargins();
    return QSize(std::max(200, room.width() - frame.left() - frame.right()),
                 std::max(200, room.height() - frame.top() - frame.bottom()));
}

void ResizeWithinScreen(QWidget* window, const QSize& wanted)
{
    window->resize(wanted.boundedTo(ScreenRoom(window)));
}

QWidget* PanelWindow(int panel)
{
    Panel* p = find_panel(panel);
    return p ? p->window : nullptr;
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
