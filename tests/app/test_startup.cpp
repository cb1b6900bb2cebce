// The whole start-up and shutdown through the real panels, with the waits
// recorded instead of waited and the simulated board behind the D2XX calls.
#include "support/startup_fixture.h"

#include "support/operator_actions.h"

#include "wire/burst_decoder.h"
#include "app/board/board_connection.h"
#include "wire/serial_words.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <string>
#include <vector>

TEST_F(Startup, StepsRunInOrderWithTheirWaits)
{
    std::string status_at_blink, part_text;
    double out_freq = 0.0;
    int height = 0, splash_shown_during_wait = -1, main_shown_during_wait = -1;
    int not_connected = -1, connected = -1;
    at_wait = [&](int n) {
        if (n == 1) {
            splash_shown_during_wait = PanelWindow(SplashPanelHandle)->isVisible();
            main_shown_during_wait = PanelWindow(MainPanelHandle)->isVisible();
        }
        if (n == 2) {
            status_at_blink = text_of(PANEL_Status);
            part_text = text_of(PANEL_TEXTMSG_10);
            GetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, &out_freq);
            GetPanelAttribute(MainPanelHandle, ATTR_HEIGHT, &height);
            not_connected = attribute(PANEL_TEXTMSG_41, ATTR_VISIBLE);
            connected = attribute(PANEL_TEXTMSG_42, ATTR_VISIBLE);
        }
    };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(trace, (std::vector<std::string>{
                         "show PANEL_2", "paint PANEL_2", "wait 5.0", "show PANEL",
                         "wait 0.4 white", "wait 0.4 dark red", "wait 0.4 white", "wait 0.4 dark red",
                         "wait 0.4 white", "wait 0.4 dark red", "wait 0.4 white", "wait 0.4 dark red"}))
        << "the splash is painted before its wait, and the part text blinks four times";
    EXPECT_EQ(splash_shown_during_wait, 1);
    EXPECT_EQ(main_shown_during_wait, 0);
    EXPECT_EQ(status_at_blink, "Checking for FTDI devices...\nThere are no FTDI devices installed.\n");
    EXPECT_EQ(not_connected, 1);
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(out_freq, 400.0) << "the first computation, on the resource defaults";
    EXPECT_EQ(height, 805);
    EXPECT_EQ(part_text, "Select Part");
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Close"}))
        << "quitting without a board still closes, and nothing is opened";
    EXPECT_TRUE(QFile::exists(QStringLiteral("panel.sts"))) << "quitting saves the panel state";
}

TEST_F(Startup, TheTextIsLeftDarkRed)
{
    int colour = -1;
    operator_actions = [&] { colour = attribute(PANEL_TEXTMSG_10, ATTR_TEXT_COLOR); };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(colour, 0x660000);
}

TEST_F(Startup, ABoardIsOpenedAtStartAndClosedAtQuit)
{
    board.device_count = 2;
    std::string status;
    at_wait = [&](int n) {
        if (n == 2)
            status = text_of(PANEL_Status);
    };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(status, "Checking for FTDI devices...\n2 FTDI devices found the count includes\n"
                      "individual ports on a single chip\n");
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Open(0)",
                                                     "FT_SetBitMode(0xFF, 1)", "FT_SetBaudRate(76800)",
                                                     "FT_GetDeviceInfoDetail(0)", "FT_Close"}))
        << "the serial number of device 0 read for the board line, after the search";
    EXPECT_FALSE(board.is_open());
}

TEST_F(Startup, QuitThenStartAgainBringsBackEveryControlValue)
{
    std::string at_quit;
    operator_actions = [&] {
        QMenuBar* bar = PanelMenuBarWidget(MainPanelHandle);
        bar->findChild<QAction*>(QStringLiteral("MENU_CHANGE_PART_ZR3500"))->trigger();
        SetCtrlVal(MainPanelHandle, PANEL_K_REG, 1000u);
        SetCtrlVal(MainPanelHandle, PANEL_RAND_EN, 1);
        SetCtrlVal(MainPanelHandle, PANEL_SEC_4, 0);
        operator_type(CtrlWidget(MainPanelHandle, PANEL_E_REG), "200");
        SetCtrlVal(MainPanelHandle, PANEL_ENHBAR, 1);
        SetCtrlVal(MainPanelHandle, PANEL_REF_FREQ, 100.0 / 3.0);
        click(PANEL_SEC_5);  // M bit 6: recomputes with the new settings
        at_quit = panel_values();
    };
    ASSERT_EQ(start(), 0);
    ASSERT_EQ(regs.N_flag, 1);

    std::string restored, part_text, status;
    int k_visible = -1, part = -1;
    operator_actions = [&] {
        restored = panel_values();
        part_text = text_of(PANEL_TEXTMSG_10);
        status = text_of(PANEL_Status);
        k_visible = attribute(PANEL_K_REG, ATTR_VISIBLE);
        part = regs.N_flag;
    };
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(restored, at_quit);
    EXPECT_NE(at_quit.find("PANEL_K_REG = 1000\n"), std::string::npos);
    EXPECT_NE(at_quit.find("PANEL_REF_FREQ = 33.333333333333336\n"), std::string::npos);
    EXPECT_EQ(part_text, "Select Part");
    EXPECT_EQ(part, 0) << "the integer part is in force again";
    EXPECT_EQ(k_visible, 0) << "the fractional set is hidden again";
    EXPECT_EQ(status, "Checking for FTDI devices...\nThere are no FTDI devices installed.\n")
        << "this start-up's board messages, not the last session's";
}

TEST_F(Startup, AGarbledStateFileLeavesTheDefaultsAndSaysSo)
{
    write_state("# zr-eval panel state 1\nPANEL_M_REG = 300\nPANEL_A_REG = banana\n");
    std::string status;
    unsigned M = 0;
    operator_actions = [&] {
        status = text_of(PANEL_Status);
        GetCtrlVal(MainPanelHandle, PANEL_M_REG, &M);
    };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(M, 7u);
    EXPECT_EQ(status, "Checking for FTDI devices...\nThere are no FTDI devices installed.\n"
                      "The saved panel state in panel.sts was not used: line 3: PANEL_A_REG = banana: "
                      "not a whole number. It was moved to panel.sts.rejected.\n");

    write_state("# zr-eval panel state 1\nPANEL_M_REG = 30");  // cut short: still a whole line
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(M, 30u);
    write_state("# zr-eval panel st");
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(M, 7u);
    EXPECT_NE(status.find("was not used: line 1: not a zr-eval panel state file. It was moved to panel.sts.rejected-"),
              std::string::npos)
        << "the first refused file keeps its place: " << status;
}

TEST_F(Startup, ArrowUpAfterARestoredSettingMovesOneChannel)
{
    write_state("# zr-eval panel state 1\nPANEL_REF_FREQ = 100\nPANEL_PLL_FREQ = 4000\nPANEL_R_REG = 3\n"
                "PANEL_M_REG = 15\nPANEL_A_REG = 0\nPANEL_SEC_4 = 0\nPANEL_MOD_SEL = 0\n");
    double out = 0.0;
    unsigned M = 0, A = 0;
    operator_actions = [&] {
        QTest::keyClick(CtrlWidget(MainPanelHandle, PANEL_PLL_FREQ), Qt::Key_Up);
        GetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, &out);
        GetCtrlVal(MainPanelHandle, PANEL_M_REG, &M);
        GetCtrlVal(MainPanelHandle, PANEL_A_REG, &A);
    };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(out, 4025.0) << "Fc 25 MHz of the restored R, not 2000 MHz from the start-up's 50";
    EXPECT_EQ(M, 15u);
    EXPECT_EQ(A, 1u);
}

TEST_F(Startup, APanelThatCannotBeLoadedEndsTheProgramWithMinusOne)
{
    EXPECT_EQ(start("/nonexistent/New_Panel.uir"), -1);

    // A resource without the splash panel: the main panel is loaded but never shown.
    QFile original(QStringLiteral(":/New_Panel.uir"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray text = original.readAll();
    text.replace("\"constant\": \"PANEL_2\"", "\"constant\": \"PANEL\"");
    QFile variant(QStringLiteral("no_splash.uir"));
    ASSERT_TRUE(variant.open(QIODevice::WriteOnly));
    variant.write(text);
    variant.close();
    EXPECT_EQ(start("no_splash.uir"), -1);
    EXPECT_TRUE(trace.empty()) << "nothing was shown";
    EXPECT_TRUE(board.calls.empty());
}

TEST_F(Startup, ClosingTheWindowOrASignalTakesTheRoadOfQuit)
{
    board.device_count = 1;
    struct Way {
        const char* name;
        std::function<void()> act;
    };
    const Way ways[] = {
        {"closing the window", [] { PanelWindow(MainPanelHandle)->window()->close(); }},
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"SIGINT", [] { std::raise(SIGINT); }},
        {"SIGHUP", [] { std::raise(SIGHUP); }},
    };
    for (const Way& way : ways) {
        QFile::remove(QStringLiteral("panel.sts"));
        click_quit = false;
        bool still_running = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            still_running = true;
            QuitUserInterface(0);
        });
        operator_actions = [&] {
            SetCtrlVal(MainPanelHandle, PANEL_M_REG, 12u);
            guard.start(3000);
            way.act();
        };
        EXPECT_EQ(start(), 0) << way.name;
        guard.stop();
        EXPECT_FALSE(still_running) << way.name << " did not end the program";
        EXPECT_FALSE(board.is_open()) << way.name;
        EXPECT_EQ(board.calls.back(), "FT_Close") << way.name;
        QFile saved(QStringLiteral("panel.sts"));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << way.name << " saved nothing";
        EXPECT_TRUE(saved.readAll().contains("PANEL_M_REG = 12\n")) << way.name;
    }
}

TEST_F(Startup, ASignalDuringTheSplashEndsStartUpAndLeavesTheSavedStateAlone)
{
    board.device_count = 1;
    const std::string state = "# zr-eval panel state 1\nPANEL_M_REG = 300\n";
    write_state(state);
    click_quit = false;
    at_wait = [](int n) {
        if (n == 1) {
            std::raise(SIGTERM);
            ProcessSystemEvents();  // as the real wait does
        }
    };
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(board.calls, std::vector<std::string>{}) << "no board opened";
    QFile saved(QStringLiteral("panel.sts"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), state);
}

TEST_F(Startup, AfterARestartFromZR3500TheIntegerPartCountsNoFractionalTerm)
{
    board.device_count = 1;
    operator_actions = [] {
        PanelMenuBarWidget(MainPanelHandle)->findChild<QAction*>(QStringLiteral("MENU_CHANGE_PART_ZR3500"))->trigger();
        SetCtrlVal(MainPanelHandle, PANEL_SEC_4, 0);   // prescaler in use
        SetCtrlVal(MainPanelHandle, PANEL_ENHBAR, 1);  // program the counters
        SetCtrlVal(MainPanelHandle, PANEL_MASH, 1);
        SetCtrlVal(MainPanelHandle, PANEL_RAND_EN, 1);
        operator_type(CtrlWidget(MainPanelHandle, PANEL_PLL_FREQ), "4321");
    };
    ASSERT_EQ(start(), 0);

    double shown = 0.0;
    unsigned K = 0;
    operator_actions = [&] {
        click(PANEL_SEND_DATA);
        GetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, &shown);
        GetCtrlVal(MainPanelHandle, PANEL_K_REG, &K);
    };
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(shown, 4300.0) << "M 7, A 6 at Fc 50 MHz, with no fraction";
    EXPECT_NE(K, 0u) << "the hidden K keeps its value for a later ZR3500";
    ASSERT_EQ(board.bursts.size(), 1u);
    const ChipReception r = decode_burst(board.bursts.back());
    ASSERT_EQ(r.latched_words.size(), 1u) << "the main word alone";
    const MainWordFields f = main_word_fields(r.latched_words[0]);
    EXPECT_EQ(50.0 * (10 * (f.M + 1) + f.A), shown) << "the chip gets what the panel shows";
}
