#include "support/startup_fixture.h"

#include "support/operator_actions.h"

#include "app/board/board_connection.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_files/panel_state.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/startup.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>

std::vector<std::string> trace;
std::function<void()> operator_actions;
std::function<void(int)> at_wait;
bool click_quit = true;

namespace {

int waits = 0;

void record_wait(double seconds)
{
    ++waits;
    char line[64];
    if (seconds == 5.0) {
        std::snprintf(line, sizeof line, "wait 5.0");
    } else {
        const int colour = attribute(PANEL_TEXTMSG_10, ATTR_TEXT_COLOR);
        std::snprintf(line, sizeof line, "wait %.1f %s", seconds,
                      colour == 0xFFFFFF ? "white" : colour == 0x660000 ? "dark red" : "other");
    }
    trace.emplace_back(line);
    if (at_wait)
        at_wait(waits);
    if (waits == 9)  // the last wait of the blink: the event loop comes next
        QTimer::singleShot(0, [] {
            if (operator_actions)
                operator_actions();
            if (click_quit)
                click(PANEL_QUIT);
        });
}

}  // namespace

std::string text_of(int control)
{
    std::string t;
    GetCtrlVal(MainPanelHandle, control, &t);
    return t;
}

int attribute(int control, int attr)
{
    int v = -1;
    GetCtrlAttribute(MainPanelHandle, control, attr, &v);
    return v;
}

void click(int control)
{
    operator_click(CtrlWidget(MainPanelHandle, control));
}

std::string panel_values()
{
    std::vector<StateValue> values = current_state(MainPanelHandle);
    std::erase_if(values, [](const StateValue& v) { return v.control->id == PANEL_TEXTMSG_10; });
    return format_state(kProgramName, values);
}

bool PanelWatcher::eventFilter(QObject* o, QEvent* e)
{
    auto* w = qobject_cast<QWidget*>(o);
    if (!w)
        return false;
    const std::string window = w->window()->objectName().toStdString();
    if (e->type() == QEvent::Show && w->isWindow() && !window.empty())
        trace.push_back("show " + window);
    if (e->type() == QEvent::Paint && window == "PANEL_2" && (trace.empty() || trace.back() != "paint PANEL_2"))
        trace.emplace_back("paint PANEL_2");
    return false;
}

void Startup::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    previous_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    previous_board = install_board_driver(&board);
    board.device_count = 0;
    SetDelayFunction(record_wait);
    qApp->installEventFilter(&watcher);
    operator_actions = nullptr;
    at_wait = nullptr;
    click_quit = true;
}

void Startup::TearDown()
{
    qApp->removeEventFilter(&watcher);
    SetDelayFunction(nullptr);
    install_board_driver(previous_board);
    QDir::setCurrent(previous_dir);
}

int Startup::start(const char* resource, const char* option)
{
    regs = RegisterSet{};
    FTDIHandle = nullptr;
    MainPanelHandle = SplashPanelHandle = 0;
    trace.clear();
    waits = 0;
    board.calls.clear();
    static char name[] = "zr-eval";
    static std::string given;
    given = option ? option : "";
    static char* argv[] = {name, nullptr, nullptr};
    argv[1] = option ? given.data() : nullptr;
    return run_zr_eval(option ? 2 : 1, argv, resource);
}

void Startup::write_state(const std::string& text)
{
    QFile f(QStringLiteral("panel.sts"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

std::string Startup::file_text(const char* name)
{
    QFile f(QString::fromLocal8Bit(name));
    if (!f.open(QIODevice::ReadOnly))
        return "";
    return f.readAll().toStdString();
}
