#include "model/calculator.h"

#include "model/formula_texts.h"
#include "model/frequency.h"
#include "model/range_rules.h"
#include "model/register_set.h"
#include "model/solver.h"
#include "model/toggle_rows.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Formats into the shared buffer and writes the text to a text message.
void show(int control, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, kBufSize, format, args);
    va_end(args);
    SetCtrlVal(MainPanelHandle, control, buf);
}

// Registers are printed with %d as they are held.
int as_printed(uint32_t reg) { return static_cast<int>(reg); }

void show_symbolic_formulas(Configuration config)
{
    const FormulaPair f = symbolic_formulas(config);
    if (config == Configuration::PrescalerInteger || config == Configuration::PrescalerFractional) {
        show(PANEL_TEXTMSG_7_1, f.fin, regs.modulus);
        show(PANEL_TEXTMSG_8_1, f.fp, regs.modulus);
    } else {
        show(PANEL_TEXTMSG_7_1, "%s", f.fin);
        show(PANEL_TEXTMSG_8_1, "%s", f.fp);
    }
}

// Step 3: the one branch of range rules and symbolic formulas that the prescaler
// switch and the part select.
void apply_branch()
{
    const Configuration config = configuration_of(regs.prescaler_en, regs.N_flag);
    if (regs.prescaler_en != 0) {
        regs.modulus = 1;
        SetCtrlAttribute(MainPanelHandle, PANEL_LNM, ATTR_DIMMED, 1);
        show_symbolic_formulas(config);
    } else {
        show_symbolic_formulas(config);
        if (regs.N_flag != 0)
            GetCtrlVal(MainPanelHandle, PANEL_LNM, &regs.LNM);
    }
    RangeSettings s;
    s.prescaler_en = regs.prescaler_en;
    s.N_flag = regs.N_flag;
    s.K = regs.K_reg;
    s.RAND_EN = regs.RAND_EN;
    s.MASH = regs.MASH;
    s.modulus = regs.modulus;
    s.LNM = regs.LNM;
    s.T_flag = regs.T_flag;
    const Counters c = apply_range_rules({regs.M_reg, regs.A_reg}, s);
    regs.M_reg = c.M;
    regs.A_reg = c.A;
}

// Mode 2: compute Fc, Fin, N and Fp from the registers and show them.
void compute_and_display()
{
    const FrequencyResult f = compute_frequencies(regs.ref_freq, regs.R_reg, regs.M_reg, regs.A_reg,
                                                  regs.K_reg, regs.modulus, regs.RAND_EN);
    regs.fc = f.fc;
    regs.new_pll_freq = f.fin;
    regs.N_val = f.n;
    regs.fp = f.fp;

    const int R = as_printed(regs.R_reg);
    const int M = as_printed(regs.M_reg);
    const int A = as_printed(regs.A_reg);
    const int K = as_printed(regs.K_reg);
    const int P = regs.modulus;
    show(PANEL_TEXTMSG_4, kRText, R);
    show(PANEL_TEXTMSG_6, kFcText, regs.ref_freq, R, regs.fc);
    // The field shows the frequency the registers produce, whatever was typed.
    SetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, regs.new_pll_freq);
    regs.temp_pll_freq = regs.new_pll_freq;
    show(PANEL_TEXTMSG_5, kNText, regs.N_val);

    const Configuration config = configuration_of(regs.modulus == 1, regs.N_flag);
    const FormulaPair w = worked_formulas(config);
    const double Fr = regs.ref_freq, Fin = regs.new_pll_freq, Fp = regs.fp;
    const int RAND_EN = regs.RAND_EN;
    switch (config) {
    case Configuration::PrescalerInteger:
        show(PANEL_TEXTMSG_7, w.fin, P, M, Fr, R, Fin);
        show(PANEL_TEXTMSG_8, w.fp, Fin, P, M, A, Fp);
        break;
    case Configuration::PrescalerFractional:
        show(PANEL_TEXTMSG_7, w.fin, P, M, A, K, RAND_EN, Fr, R, Fin);
        show(PANEL_TEXTMSG_8, w.fp, Fin, P, M, A, K, RAND_EN, Fp);
        break;
    case Configuration::BypassInteger:
        show(PANEL_TEXTMSG_7, w.fin, M, Fr, R, Fin);
        show(PANEL_TEXTMSG_8, w.fp, Fin, M, Fp);
        break;
    case Configuration::BypassFractional:
        show(PANEL_TEXTMSG_7, w.fin, M, K, RAND_EN, Fr, R, Fin);
        show(PANEL_TEXTMSG_8, w.fp, Fin, M, K, RAND_EN, Fp);
        break;
    }
    // Let the panel repaint before the toggles are refreshed; callbacks may run here.
    ProcessSystemEvents();
}

}  // namespace

int calculate_freq_from_regs(int mode)
{
    const int panel = MainPanelHandle;

    GetCtrlVal(panel, PANEL_SEC_4, &regs.prescaler_en);
    GetCtrlVal(panel, PANEL_RAND_EN, &regs.RAND_EN);
    GetCtrlVal(panel, PANEL_MOD_SEL, &regs.MOD_SEL);
    regs.modulus = regs.MOD_SEL != 0 ? 5 : 10;
    GetCtrlVal(panel, PANEL_MASH, &regs.MASH);
    GetCtrlVal(panel, PANEL_A_REG, &regs.A_reg);
    GetCtrlVal(panel, PANEL_K_REG, &regs.K_reg);
    GetCtrlVal(panel, PANEL_M_REG, &regs.M_reg);

    // MASH order and the LNM jumper mean nothing without a fractional term.
    const int integer_setting = regs.K_reg == 0 && regs.RAND_EN == 0;
    SetCtrlAttribute(panel, PANEL_MASH, ATTR_DIMMED, integer_setting);
    SetCtrlAttribute(panel, PANEL_LNM, ATTR_DIMMED, integer_setting);

    apply_branch();

    SetCtrlVal(panel, PANEL_A_REG, regs.A_reg);
    SetCtrlVal(panel, PANEL_M_REG, regs.M_reg);
    GetCtrlVal(panel, PANEL_R_REG, &regs.R_reg);
    GetCtrlVal(panel, PANEL_SEC_4, &regs.PS_mode);
    GetCtrlVal(panel, PANEL_REF_FREQ, &regs.ref_freq);
    GetCtrlVal(panel, PANEL_PLL_FREQ, &regs.new_pll_freq);

    if (mode == kModeSolve)
        solve_for_target();
    else if (mode == kModeRecompute)
        compute_and_display();

    Set_Data_Bits();
    return 0;
}
