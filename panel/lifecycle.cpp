#include "panel/lifecycle.h"

#include "link/board_connection.h"
#include "model/calculator.h"
#include "model/register_set.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

#include <cstdio>
#include <string>

int MainPanelHandle = 0;
int SplashPanelHandle = 0;

namespace {

constexpr double kSplashSeconds = 5.0;
constexpr int kMainPanelHeight = 805;  // the resource stores 608, which hides QUIT and Status
constexpr int kBlinkCycles = 4;
constexpr double kBlinkPauseSeconds = 0.4;
constexpr int kWhite = 0xFFFFFF;
constexpr int kDarkRed = 0x660000;

// Brings back the control values of the last session. The status box is not
// part of the saved state, so this start-up's board messages stay.
void restore_panel_state()
{
    std::string problem;
    const int status = RecallPanelState(MainPanelHandle, kPanelStateFile, 0, &problem);
    if (status == UI_ERR_STATE_CONTENT) {
        std::snprintf(buf, kBufSize, "The saved panel state in %s was not used: %s.\n", kPanelStateFile,
                      problem.c_str());
        SetCtrlVal(MainPanelHandle, PANEL_Status, buf);
        return;
    }
    if (status != UI_OK)
        return;
    // The solver steps from the last computed Fc and Fin. Those still describe the
    // resource defaults, so take them from the restored fields instead, without
    // a recompute that would apply the integer part's ranges to a fractional setting.
    double ref_freq = 0.0;
    unsigned R = 0;
    GetCtrlVal(MainPanelHandle, PANEL_REF_FREQ, &ref_freq);
    GetCtrlVal(MainPanelHandle, PANEL_R_REG, &R);
    regs.fc = ref_freq / (R + 1.0);
    GetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, &regs.temp_pll_freq);
}

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

int run_zr_eval(int argc, char* argv[], const char* resource_file)
{
    if (InitUIRuntime(argc, argv) < 0)
        return -1;
    MainPanelHandle = LoadPanel(0, resource_file, PANEL);
    if (MainPanelHandle < 0)
        return -1;
    SplashPanelHandle = LoadPanel(0, resource_file, PANEL_2);
    if (SplashPanelHandle < 0) {
        DiscardPanel(MainPanelHandle);
        return -1;
    }

    DisplayPanel(SplashPanelHandle);
    Delay(kSplashSeconds);
    DiscardPanel(SplashPanelHandle);

    calculate_freq_from_regs(kModeRecompute);
    FTDI_Search();

    SetPanelAttribute(MainPanelHandle, ATTR_HEIGHT, kMainPanelHeight);
    DisplayPanel(MainPanelHandle);
    restore_panel_state();

    std::snprintf(buf, kBufSize, "Select Part");
    SetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_10, buf);
    blink_part_text();

    RunUserInterface();
    DiscardPanel(MainPanelHandle);
    return 0;
}

int Shutdown(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    FTDIStatus = FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    SavePanelState(MainPanelHandle, kPanelStateFile, 0);
    QuitUserInterface(0);
    return 0;
}
