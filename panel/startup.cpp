#include "panel/startup.h"

#include "link/callbacks/board_connection.h"
#include "model/callbacks/calculator.h"
#include "model/frequency.h"
#include "panel/application.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/runtime/ui_runtime.h"
#include "panel/shutdown.h"
#include "panel/status_box.h"

#include <cstdio>
#include <string>

namespace {

constexpr double kSplashSeconds = 5.0;
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
        append_status("The saved panel state in %s was not used: %s.\n", kPanelStateFile, problem.c_str());
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
    regs.fc = comparison_frequency(ref_freq, R);
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

void compute_search_and_show()
{
    calculate_freq_from_regs(kModeRecompute);
    FTDI_Search();
    SetPanelAttribute(MainPanelHandle, ATTR_HEIGHT, kMainPanelHeight);
    DisplayPanel(MainPanelHandle);
}

int run_zr_eval(int argc, char* argv[], const char* resource_file)
{
    if (InitUIRuntime(argc, argv, zr_eval_application()) < 0)
        return -1;
    InstallTerminationCallback(termination_signal);
    set_panel_restored(false);
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
    if (termination_pending()) {  // nothing opened, nothing of the operator's on the panel yet
        DiscardPanel(MainPanelHandle);
        return 0;
    }

    compute_search_and_show();
    restore_panel_state();
    set_panel_restored(true);
    if (termination_pending())
        Shutdown(MainPanelHandle, PANEL_QUIT, EVENT_COMMIT, nullptr, 0, 0);

    std::snprintf(buf, kBufSize, "Select Part");
    SetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_10, buf);
    if (!termination_pending())
        blink_part_text();

    RunUserInterface();
    DiscardPanel(MainPanelHandle);
    return 0;
}
