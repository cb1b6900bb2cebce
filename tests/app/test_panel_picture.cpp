// Writes pictures of the panels for review: build/main_panel.png as the operator
// first sees it, build/main_panel_zr3500.png with the fractional set shown, and
// build/splash_panel.png.
#include "support/panel_fixture.h"

#include "app/calculator.h"
#include "app/lifecycle.h"
#include "app/part_selection.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QWidget>

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
