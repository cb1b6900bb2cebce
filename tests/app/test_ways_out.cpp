// Every way out of the program keeps what the operator owns: a sweep that runs
// when the program ends leaves the panel, and so panel.sts, on the last point
// the chip latched; a window destroyed from outside ends the program as QUIT
// does; and a lock that cannot be taken is said, and saving over the folder's
// state is asked first.
#include "support/startup_fixture.h"

#include "support/operator_actions.h"

#include "wire/burst_decoder.h"
#include "wire/serial_words.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/windows/sweep_window.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "# zr-eval panel state 1\n";

// What the X server says when another client destroys the panel's window.
void destroy_main_window_from_outside()
{
    xcb_destroy_notify_event_t event{};
    event.response_type = XCB_DESTROY_NOTIFY;
    event.window = static_cast<xcb_window_t>(PanelWindow(MainPanelHandle)->window()->winId());
    event.event = event.window;
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &event, &result);
}

// Opens the sweep window and starts a slow sweep of the band on the panel's settings.
SweepWindow* start_slow_sweep()
{
    PanelMenuBarWidget(MainPanelHandle)->findChild<QAction*>(QStringLiteral("MENU_TOOLS_SWEEP"))->trigger();
    SweepWindow* w = sweep_window();
    w->findChild<QRadioButton*>(QStringLiteral("sweep_band"))->setChecked(true);
    w->findChild<QLineEdit*>(QStringLiteral("sweep_start"))->setText(QStringLiteral("4000"));
    w->findChild<QLineEdit*>(QStringLiteral("sweep_stop"))->setText(QStringLiteral("4900"));
    w->findChild<QLineEdit*>(QStringLiteral("sweep_step"))->setText(QStringLiteral("100"));
    w->findChild<QDoubleSpinBox*>(QStringLiteral("sweep_dwell"))->setValue(20.0);
    operator_click(w->findChild<QPushButton*>(QStringLiteral("sweep_start_button")));
    // A few points out, with more to come.
    for (int i = 0; i < 5000 && w->running() && (!w->run() || w->run()->writes() < 3); ++i)
        QTest::qWait(1);
    return w;
}

}  // namespace

class WaysOut : public Startup {
protected:
    // One run of the program; one that has not ended after ms is ended, and said.
    int start_ending_within(int ms, bool* still_running)
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [still_running] {
            *still_running = true;
            QuitUserInterface(0);
        });
        guard.start(ms);
        const int status = start();
        guard.stop();
        return status;
    }
};

TEST_F(WaysOut, EveryWayOutOfASweepSavesThePanelOnTheLastPointTheChipLatched)
{
    board.device_count = 1;
    struct Way {
        const char* name;
        std::function<void()> act;  // nullptr: QUIT is clicked
    };
    const Way ways[] = {
        {"QUIT", nullptr},
        {"closing the window", [] { PanelWindow(MainPanelHandle)->window()->close(); }},
        {"the window destroyed from outside", destroy_main_window_from_outside},
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"SIGINT", [] { std::raise(SIGINT); }},
        {"SIGHUP", [] { std::raise(SIGHUP); }},
    };
    for (const Way& way : ways) {
        fs::remove("panel.sts");
        click_quit = !way.act;
        bool was_running = false;
        operator_actions = [&] {
            SetCtrlVal(MainPanelHandle, PANEL_SEC_4, 0);  // the prescaler in use, 10/11
            SetCtrlVal(MainPanelHandle, PANEL_M_REG, 300u);
            was_running = start_slow_sweep()->running();
            if (way.act)
                way.act();
        };
        bool still_running = false;
        ASSERT_EQ(start_ending_within(5000, &still_running), 0) << way.name;
        EXPECT_FALSE(still_running) << way.name << " did not end the program";
        EXPECT_TRUE(was_running) << way.name << ": the sweep was under way";
        ASSERT_FALSE(board.bursts.empty()) << way.name;
        // What the chip latched last, read from the last burst as the chip reads it.
        const ChipReception last = decode_burst(board.bursts.back());
        ASSERT_FALSE(last.latched_words.empty()) << way.name;
        const MainWordFields chip = main_word_fields(last.latched_words.front());
        EXPECT_NE(chip.M, 300u);
        EXPECT_NE(file_text("panel.sts").find("PANEL_M_REG = " + std::to_string(chip.M) + "\n"), std::string::npos)
            << way.name << " saved the panel as it was before the sweep";
        EXPECT_NE(file_text("panel.sts").find("PANEL_A_REG = " + std::to_string(chip.A) + "\n"), std::string::npos)
            << way.name;
        EXPECT_FALSE(board.is_open()) << way.name;
    }
}

TEST_F(WaysOut, AWindowDestroyedFromOutsideTakesTheRoadOfQuit)
{
    board.device_count = 1;
    click_quit = false;
    operator_actions = [] {
        SetCtrlVal(MainPanelHandle, PANEL_M_REG, 12u);
        destroy_main_window_from_outside();
    };
    bool still_running = false;
    ASSERT_EQ(start_ending_within(3000, &still_running), 0);
    EXPECT_FALSE(still_running) << "a windowless process would run on";
    EXPECT_EQ(board.calls.back(), "FT_Close");
    EXPECT_NE(file_text("panel.sts").find("PANEL_M_REG = 12\n"), std::string::npos);
}

TEST_F(WaysOut, ALockThatCannotBeTakenIsSaidAndSavingOverTheStateIsAskedFirst)
{
    board.device_count = 1;
    struct Lock {
        const char* what;
        std::function<void()> make;
        const char* said;
    };
    const Lock locks[] = {
        {"a folder", [] { fs::create_directory("panel.sts.lock"); }, "(it is a folder)"},
        {"a FIFO", [] { ASSERT_EQ(mkfifo("panel.sts.lock", 0644), 0); }, "(it is a FIFO)"},
        {"a link", [] { fs::create_symlink("elsewhere", "panel.sts.lock"); }, "(it is a symbolic link)"},
    };
    for (const Lock& lock : locks) {
        for (const auto& e : fs::directory_iterator("."))
            fs::remove_all(e.path());
        lock.make();
        write_state(kHeader + "PANEL_M_REG = 300\n");
        // Two programs in the folder, one after the other: each says so and asks.
        std::string status;
        operator_actions = [&status] {
            status = text_of(PANEL_Status);
            SetCtrlVal(MainPanelHandle, PANEL_M_REG, 12u);
            answer_next_popup("Quit without saving");
        };
        ASSERT_EQ(start(), 0) << lock.what;
        EXPECT_NE(status.find(std::string("The lock panel.sts.lock cannot be taken ") + lock.said), std::string::npos)
            << lock.what << ": " << status;
        EXPECT_NE(status.find("will ask before saving over it"), std::string::npos) << status;
        EXPECT_NE(last_popup_text().find("Save this panel over it?"), std::string::npos) << lock.what;
        EXPECT_NE(file_text("panel.sts").find("PANEL_M_REG = 300\n"), std::string::npos) << lock.what;

        operator_actions = [] {
            SetCtrlVal(MainPanelHandle, PANEL_M_REG, 14u);
            answer_next_popup("Save over it");
        };
        ASSERT_EQ(start(), 0) << lock.what;
        EXPECT_NE(file_text("panel.sts").find("PANEL_M_REG = 14\n"), std::string::npos) << lock.what;
    }
    // A kill waits for no answer: with no lock, nothing is saved over the state.
    for (const auto& e : fs::directory_iterator("."))
        fs::remove_all(e.path());
    fs::create_directory("panel.sts.lock");
    write_state(kHeader + "PANEL_M_REG = 300\n");
    click_quit = false;
    operator_actions = [] {
        SetCtrlVal(MainPanelHandle, PANEL_M_REG, 16u);
        std::raise(SIGTERM);
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(file_text("panel.sts").find("PANEL_M_REG = 300\n"), std::string::npos);
}

TEST_F(WaysOut, AReadOnlyLockIsALockThatCannotBeTaken)
{
    board.device_count = 1;
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root, which writes a read-only lock file whatever its mode: the read-only "
                        "lock needs a user without root";
    std::ofstream("panel.sts.lock") << "1\n";
    chmod("panel.sts.lock", 0444);
    click_quit = true;
    std::string status;
    operator_actions = [&status] {
        status = text_of(PANEL_Status);
        answer_next_popup("Quit without saving");
    };
    ASSERT_EQ(start(), 0);
    EXPECT_NE(status.find("The lock panel.sts.lock cannot be taken (it cannot be written)"), std::string::npos)
        << status;
}
