#include "app/startup.h"

#include "app/board/board_choice.h"
#include "app/board/board_connection.h"
#include "d2xx/simulated_board.h"
#include "app/calculator.h"
#include "app/application.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "app/shutdown.h"
#include "app/state_keeping.h"
#include "app/status_box.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr double kSplashSeconds = 5.0;
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

// Takes the option out of the arguments, which then go on to the UI runtime;
// returns whether it was there.
bool take_option(int& argc, char* argv[], const char* option)
{
    bool found = false;
    int kept = argc > 0 ? 1 : 0;
    for (int i = kept; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0)
            found = true;
        else
            argv[kept++] = argv[i];
    }
    if (kept < argc)
        argv[kept] = nullptr;
    argc = kept;
    return found;
}

// --simulated-board: for this run the simulated board stands behind the D2XX
// calls as device 0 with serial number SIMULATED, keeping no record, so that a
// long sweep does not grow. Without the option nothing changes.
class SimulatedBoardForRun {
public:
    explicit SimulatedBoardForRun(bool wanted) : wanted_(wanted)
    {
        set_board_simulated(wanted);
        if (!wanted)
            return;
        make_board_to_try(board_);
        board_.record = false;
        previous_ = install_board_driver(&board_);
    }
    ~SimulatedBoardForRun()
    {
        if (wanted_)
            install_board_driver(previous_);
        set_board_simulated(false);
    }
    SimulatedBoardForRun(const SimulatedBoardForRun&) = delete;
    SimulatedBoardForRun& operator=(const SimulatedBoardForRun&) = delete;

private:
    bool wanted_;
    SimulatedBoard board_;
    BoardDriver* previous_ = nullptr;
};

}  // namespace

void compute_search_and_show()
{
    calculate_freq_from_regs(kModeRecompute);
    FTDI_Search();
    after_board_search();
    SetPanelAttribute(MainPanelHandle, ATTR_HEIGHT, kMainPanelHeight);
    DisplayPanel(MainPanelHandle);
}

int run_zr_eval(int argc, char* argv[], const char* resource_file)
{
    forget_board();
    const SimulatedBoardForRun simulated(take_option(argc, argv, kSimulatedBoardOption));
    if (InitUIRuntime(argc, argv, zr_eval_application()) < 0)
        return -1;
    InstallTerminationCallback(termination_signal);
    InstallDisplayLostCallback(display_lost);
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
    take_state_folder();
    restore_panel_state();
    set_panel_restored(true);
    if (termination_pending())
        termination_signal(SIGTERM);

    std::snprintf(buf, kBufSize, "Select Part");
    SetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_10, buf);
    if (!termination_pending())
        blink_part_text();

    RunUserInterface();
    release_state_folder();
    DiscardPanel(MainPanelHandle);
    return 0;
}
