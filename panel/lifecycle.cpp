#include "panel/lifecycle.h"

#include "model/calculator.h"
#include "model/register_set.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

#include <cstdio>

int MainPanelHandle = 0;
int SplashPanelHandle = 0;

namespace {

constexpr const char* kResourceFile = "New_Panel.uir";
constexpr double kSplashSeconds = 5.0;
constexpr int kMainPanelHeight = 805;  // the resource stores 608, which hides QUIT and Status
constexpr int kBlinkCycles = 4;
constexpr double kBlinkPauseSeconds = 0.4;
constexpr int kWhite = 0xFFFFFF;
constexpr int kDarkRed = 0x660000;

// Draws the operator's eye to the part menu.
void blink_part_text()
{
    for (int i = 0; i < kBlinkCycles; ++i) {
        SetCtrlAttribute(MainPanelHandle, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, kWhite);
        ProcessSystemEvents();
        Delay(kBlinkPauseSeconds);
        SetCtrlAttribute(MainPanelHandle, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, kDarkRed);
        ProcessSystemEvents();
        Delay(kBlinkPauseSeconds);
    }
}

}  // namespace

int run_zr_eval(int argc, char* argv[])
{
    if (InitUIRuntime(argc, argv) < 0)
        return -1;
    MainPanelHandle = LoadPanel(0, kResourceFile, PANEL);
    if (MainPanelHandle < 0)
        return -1;
    SplashPanelHandle = LoadPanel(0, kResourceFile, PANEL_2);
    if (SplashPanelHandle < 0)
        return -1;

    DisplayPanel(SplashPanelHandle);
    Delay(kSplashSeconds);
    DiscardPanel(SplashPanelHandle);

    calculate_freq_from_regs(kModeRecompute);

    SetPanelAttribute(MainPanelHandle, ATTR_HEIGHT, kMainPanelHeight);
    DisplayPanel(MainPanelHandle);

    std::snprintf(buf, kBufSize, "Select Part");
    SetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_10, buf);
    blink_part_text();

    RunUserInterface();
    DiscardPanel(MainPanelHandle);
    CloseUIRuntime();
    return 0;
}

int Shutdown(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    QuitUserInterface(0);
    return 0;
}
