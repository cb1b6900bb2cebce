#include "app/calculator.h"

#include "model/calculation.h"
#include "model/chip_limits.h"
#include "app/solve_report.h"
#include "app/toggle_rows.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

namespace {

void (*recompute_listener)() = nullptr;


// Formats one of the calculator's texts into the shared buffer and shows it.
void show(int control, CalculatorText which)
{
    format_calculator_text(which, regs, buf, kBufSize);
    SetCtrlVal(MainPanelHandle, control, buf);
}

// The range rules of the branch that the prescaler switch and the part select,
// and the symbolic formulas of that branch.
void apply_branch()
{
    if (regs.prescaler_en != 0)
        SetCtrlAttribute(MainPanelHandle, PANEL_LNM, ATTR_DIMMED, 1);
    else if (regs.N_flag != 0)
        GetCtrlVal(MainPanelHandle, PANEL_LNM, &regs.LNM);
    apply_range_branch(regs);
    show(PANEL_TEXTMSG_7_1, CalculatorText::SymbolicFin);
    show(PANEL_TEXTMSG_8_1, CalculatorText::SymbolicFp);
}

// Mode 1: the solved M, A and K go to their fields, in that order, each as its
// register holds it.
void solve_and_write_registers()
{
    solve_target(regs);
    note_solved_registers(regs);
    SetCtrlVal(MainPanelHandle, PANEL_M_REG, held_in_register(regs.M_reg, chip::kMBits));
    SetCtrlVal(MainPanelHandle, PANEL_A_REG, held_in_register(regs.A_reg, chip::kABits));
    SetCtrlVal(MainPanelHandle, PANEL_K_REG, held_in_register(regs.K_reg, chip::kKBits));
}

// Mode 2: Fc, Fin, N and Fp from the registers, shown with their formulas.
void compute_and_display()
{
    compute_results(regs);
    show(PANEL_TEXTMSG_4, CalculatorText::R);
    show(PANEL_TEXTMSG_6, CalculatorText::Fc);
    // The field shows the frequency the registers produce, whatever was typed.
    SetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, regs.new_pll_freq);
    show(PANEL_TEXTMSG_5, CalculatorText::N);
    show(PANEL_TEXTMSG_7, CalculatorText::WorkedFin);
    show(PANEL_TEXTMSG_8, CalculatorText::WorkedFp);
    clear_stale_solve_report();
    show_spur_report();
    // Let the panel repaint before the toggles are refreshed; callbacks may run here.
    ProcessSystemEvents();
}

}  // namespace

void calculate_freq_from_regs(int mode)
{
    const int panel = MainPanelHandle;

    GetCtrlVal(panel, PANEL_SEC_4, &regs.prescaler_en);
    GetCtrlVal(panel, PANEL_RAND_EN, &regs.RAND_EN);
    GetCtrlVal(panel, PANEL_MOD_SEL, &regs.MOD_SEL);
    regs.modulus = modulus_of(regs.MOD_SEL);
    GetCtrlVal(panel, PANEL_MASH, &regs.MASH);
    GetCtrlVal(panel, PANEL_A_REG, &regs.A_reg);
    GetCtrlVal(panel, PANEL_K_REG, &regs.K_reg);
    GetCtrlVal(panel, PANEL_M_REG, &regs.M_reg);
    drop_fractional_term_for_integer_part(regs);

    // MASH order and the LNM jumper mean nothing without a fractional term.
    const int integer_setting = has_fractional_term(regs) ? 0 : 1;
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
        solve_and_write_registers();
    else if (mode == kModeRecompute)
        compute_and_display();

    Set_Data_Bits();
    if (mode == kModeRecompute && recompute_listener)
        recompute_listener();
}

void set_recompute_listener(void (*listener)())
{
    recompute_listener = listener;
}
