// Writes pictures of the panels for review: build/main_panel.png as the operator
// first sees it, build/main_panel_zr3500.png with the fractional set shown, and
// build/splash_panel.png; and, when ZR_README_PICTURE names a file (make
// picture), the README's picture of the panel at work.
#include "support/panel_fixture.h"

#include "support/operator_actions.h"

#include "app/board/board_choice.h"
#include "app/board/board_connection.h"
#include "app/calculator.h"
#include "app/main_panel.h"
#include "app/startup.h"
#include "d2xx/simulated_board.h"
#include "app/lifecycle.h"
#include "app/part_selection.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>

TEST_F(MainPanelTest, PictureOfTheMainPanelIsWritten)
{
    calculate_freq_from_regs(kModeRecompute);
    SetPanelAttribute(panel, ATTR_HEIGHT, kMainPanelHeight);
    SetCtrlVal(panel, PANEL_Status, "Checking for FTDI devices...\nThere are no FTDI devices installed.\n");
    SetCtrlAttribute(panel, PANEL_TEXTMSG_41, ATTR_VISIBLE, 1);
    SetCtrlAttribute(panel, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, 0x660000);
    DisplayPanel(panel);
    ProcessSystemEvents();

    const QString path = QStringLiteral(ZR_PICTURE_DIR "/main_panel.png");
    const QPixmap picture = PanelWindow(panel)->grab();
    EXPECT_EQ(picture.width(), 803);
    EXPECT_EQ(picture.height(), kMainPanelHeight);
    EXPECT_TRUE(picture.save(path)) << path.toStdString();

    Select_Mode(GetPanelMenuBar(panel), MENU_CHANGE_PART_ZR3500, nullptr, panel);
    SetCtrlVal(panel, PANEL_K_REG, 131073u);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_MASH, 0);
    SetCtrlVal(panel, PANEL_LNM, 0);
    calculate_freq_from_regs(kModeRecompute);
    type_and_enter(PANEL_PLL_FREQ, "4321");  // a solve, with its line under "Out Freq"
    ProcessSystemEvents();
    const QString fractional = QStringLiteral(ZR_PICTURE_DIR "/main_panel_zr3500.png");
    EXPECT_TRUE(PanelWindow(panel)->grab().save(fractional)) << fractional.toStdString();
}

TEST(PanelPicture, PictureOfTheSplashPanelIsWritten)
{
    const int splash = LoadPanel(0, kResourceFile, PANEL_2);
    ASSERT_GT(splash, 0);
    DisplayPanel(splash);
    const QString path = QStringLiteral(ZR_PICTURE_DIR "/splash_panel.png");
    const QPixmap picture = PanelWindow(splash)->grab();
    EXPECT_EQ(picture.size(), QSize(318, 255));
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
    DiscardPanel(splash);
}

TEST_F(MainPanelTest, PicturesOfTheToolWindowsAreWritten)
{
    Select_Mode(GetPanelMenuBar(panel), MENU_CHANGE_PART_ZR3500, nullptr, panel);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    calculate_freq_from_regs(kModeRecompute);
    type_and_enter(PANEL_PLL_FREQ, "4321");
    for (const char* item : {"MENU_TOOLS_SWEEP", "MENU_TOOLS_BUS_VIEW"})
        PanelMenuBarWidget(panel)->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    ProcessSystemEvents();
    for (const char* name : {"SweepWindow", "BusView"}) {
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name))
                window = w;
        ASSERT_NE(window, nullptr) << name;
        const QString path = QStringLiteral(ZR_PICTURE_DIR "/%1.png").arg(QLatin1String(name));
        EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
        window->close();
    }
}

// The README's picture: the panel as a newcomer finds it after the quick start,
// on the simulated board: ZR3500 chosen, ENH at "Disable (High)", 4321 MHz typed
// and programmed.
TEST_F(MainPanelTest, PictureForTheReadme)
{
    const char* path = std::getenv("ZR_README_PICTURE");
    if (!path || !*path)
        GTEST_SKIP() << "ZR_README_PICTURE names no file";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous_dir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SimulatedBoard board;
    make_board_to_try(board);
    BoardDriver* previous = install_board_driver(&board);
    forget_board();
    set_board_simulated(true);
    FTDIHandle = nullptr;

    compute_search_and_show();
    operator_choose(PanelMenuBarWidget(panel), "MENU_CHANGE_PART_ZR3500");
    operator_click(CtrlWidget(panel, PANEL_ENHBAR));
    type_and_enter(PANEL_PLL_FREQ, "4321");
    click(PANEL_SEND_DATA);
    SetCtrlAttribute(panel, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, 0x660000);
    ProcessSystemEvents();
    EXPECT_EQ(text(PANEL_BOARD), "open: SIMULATED (port A), a simulated board: nothing reaches a chip");
    EXPECT_EQ(int_val(PANEL_ENHBAR), 1);
    EXPECT_NE(text(PANEL_Status).find("Sent main word"), std::string::npos) << text(PANEL_Status);
    EXPECT_TRUE(PanelWindow(panel)->grab().save(QString::fromLocal8Bit(path))) << path;

    InstallPollCallback(0, nullptr);
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    set_board_simulated(false);
    install_board_driver(previous);
    QDir::setCurrent(previous_dir);
}
