#include "app/panel_settings.h"

#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "resource/register_controls.h"
#include "ui_runtime/ui_runtime.h"

RegisterSet settings_from_panel()
{
    RegisterSet r = regs;
    for (const RegisterControl& c : kRegisterControls) {
        if (c.frequency)
            GetCtrlVal(MainPanelHandle, c.control, &(r.*c.frequency));
        if (c.count)
            GetCtrlVal(MainPanelHandle, c.control, &(r.*c.count));
        if (c.position)
            GetCtrlVal(MainPanelHandle, c.control, &(r.*c.position));
        if (c.also)
            r.*c.also = r.*c.position;
    }
    return r;
}

void show_settings_on_panel(const RegisterSet& r)
{
    for (const RegisterControl& c : kRegisterControls) {
        if (!c.setting)
            continue;
        if (c.frequency)
            SetCtrlVal(MainPanelHandle, c.control, r.*c.frequency);
        if (c.count)
            SetCtrlVal(MainPanelHandle, c.control, r.*c.count);
        if (c.position)
            SetCtrlVal(MainPanelHandle, c.control, r.*c.position);
    }
    set_toggles(kEToggles, r.E_reg);
    // The recompute applies the range rules and sets the R, M, A and K bit rows.
    calculate_freq_from_regs(kModeRecompute);
}
