#include "app/panel_settings.h"

#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

RegisterSet settings_from_panel()
{
    RegisterSet r = regs;
    const int p = MainPanelHandle;
    GetCtrlVal(p, PANEL_REF_FREQ, &r.ref_freq);
    GetCtrlVal(p, PANEL_PLL_FREQ, &r.new_pll_freq);
    GetCtrlVal(p, PANEL_R_REG, &r.R_reg);
    GetCtrlVal(p, PANEL_M_REG, &r.M_reg);
    GetCtrlVal(p, PANEL_A_REG, &r.A_reg);
    GetCtrlVal(p, PANEL_K_REG, &r.K_reg);
    GetCtrlVal(p, PANEL_E_REG, &r.E_reg);
    GetCtrlVal(p, PANEL_SEC_4, &r.prescaler_en);
    r.PS_mode = r.prescaler_en;
    GetCtrlVal(p, PANEL_MOD_SEL, &r.MOD_SEL);
    GetCtrlVal(p, PANEL_RAND_EN, &r.RAND_EN);
    GetCtrlVal(p, PANEL_MASH, &r.MASH);
    GetCtrlVal(p, PANEL_ENHBAR, &r.ENHBAR);
    GetCtrlVal(p, PANEL_LNM, &r.LNM);
    return r;
}

void show_settings_on_panel(const RegisterSet& r)
{
    const int p = MainPanelHandle;
    SetCtrlVal(p, PANEL_REF_FREQ, r.ref_freq);
    SetCtrlVal(p, PANEL_R_REG, r.R_reg);
    SetCtrlVal(p, PANEL_M_REG, r.M_reg);
    SetCtrlVal(p, PANEL_A_REG, r.A_reg);
    SetCtrlVal(p, PANEL_K_REG, r.K_reg);
    SetCtrlVal(p, PANEL_E_REG, r.E_reg);
    set_toggles(kEToggles, r.E_reg);
    SetCtrlVal(p, PANEL_SEC_4, r.prescaler_en);
    SetCtrlVal(p, PANEL_MOD_SEL, r.MOD_SEL);
    SetCtrlVal(p, PANEL_RAND_EN, r.RAND_EN);
    SetCtrlVal(p, PANEL_MASH, r.MASH);
    SetCtrlVal(p, PANEL_ENHBAR, r.ENHBAR);
    SetCtrlVal(p, PANEL_LNM, r.LNM);
    // The recompute applies the range rules and sets the R, M, A and K bit rows.
    calculate_freq_from_regs(kModeRecompute);
}
