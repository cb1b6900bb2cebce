#include "link/programming_frames.h"

#include "model/calculator.h"
#include "model/register_set.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

namespace {

void read_option_switches()
{
    GetCtrlVal(MainPanelHandle, PANEL_ENHBAR, &regs.ENHBAR);
    GetCtrlVal(MainPanelHandle, PANEL_MOD_SEL, &regs.MOD_SEL);
    GetCtrlVal(MainPanelHandle, PANEL_MASH, &regs.MASH);
    GetCtrlVal(MainPanelHandle, PANEL_RAND_EN, &regs.RAND_EN);
}

}  // namespace

int SEND_DATA(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    // Until the board link exists, a press brings the registers and toggles up to date.
    GetCtrlVal(MainPanelHandle, PANEL_ENHBAR, &regs.ENHBAR);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}

int callbacks(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    read_option_switches();
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}
