#include "app/bit_editors.h"

#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

namespace {

// Toggles to value: the register and its field are rebuilt from all of its toggles.
void rebuild_from_toggles(ToggleRow row, uint32_t* reg, int field, uint32_t smallest = 0)
{
    *reg = sum_of_toggles(row);
    if (*reg < smallest)
        *reg = smallest;
    SetCtrlVal(MainPanelHandle, field, *reg);
}

// The controls that mean nothing while the prescaler is bypassed, in the order
// they are dimmed and undimmed.
constexpr int kPrescalerControls[] = {PANEL_MOD_SEL, PANEL_A_REG,  PANEL_SEC_16,
                                      PANEL_SEC_17,  PANEL_SEC_18, PANEL_SEC_19};

}  // namespace

int R_reg_Change(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    rebuild_from_toggles(kRToggles, &regs.R_reg, PANEL_R_REG);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}

int M_reg_Change(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    // All M toggles off would be a main counter of 0: it becomes 1.
    rebuild_from_toggles(kMToggles, &regs.M_reg, PANEL_M_REG, 1);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}

int A_reg_Change(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    rebuild_from_toggles(kAToggles, &regs.A_reg, PANEL_A_REG);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}

int K_reg_Change(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    rebuild_from_toggles(kKToggles, &regs.K_reg, PANEL_K_REG);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}

int Enhancement_reg_changed(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    rebuild_from_toggles(kEToggles, &regs.E_reg, PANEL_E_REG);
    return 0;
}

int Enhancement_mode_menu_changed(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    GetCtrlVal(MainPanelHandle, PANEL_E_REG, &regs.E_reg);
    set_toggles(kEToggles, regs.E_reg);
    return 0;
}

int prescaler_select_menu_changed(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    GetCtrlVal(MainPanelHandle, PANEL_SEC_4, &regs.PS_mode);
    const int bypassed = regs.PS_mode != 0;
    if (bypassed)
        SetCtrlVal(MainPanelHandle, PANEL_A_REG, 0u);
    for (int control : kPrescalerControls)
        SetCtrlAttribute(MainPanelHandle, control, ATTR_DIMMED, bypassed);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}
