#include "app/solve_report.h"

#include "model/solve_outcome.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

#include <cstdio>

namespace {

double requested_mhz = 0.0;
SolvedRegisters last_solve;
bool report_shown = false;
double reported_fin = 0.0;

}  // namespace

void note_solved_registers(const RegisterSet& solved)
{
    requested_mhz = solved.new_pll_freq;
    last_solve = {solved.M_reg, solved.A_reg, solved.K_reg};
}

void show_solve_report()
{
    SolveOutcome o;
    o.requested_mhz = requested_mhz;
    o.achieved_mhz = regs.new_pll_freq;
    o.solved = last_solve;
    GetCtrlVal(MainPanelHandle, PANEL_M_REG, &o.M);
    GetCtrlVal(MainPanelHandle, PANEL_A_REG, &o.A);
    GetCtrlVal(MainPanelHandle, PANEL_K_REG, &o.K);
    o.has_fractional_part = regs.N_flag != ZR3100;
    std::snprintf(buf, kBufSize, "%s", solve_outcome_text(o).c_str());
    SetCtrlVal(MainPanelHandle, PANEL_SOLVE_REPORT, buf);
    report_shown = true;
    reported_fin = o.achieved_mhz;
}

void clear_stale_solve_report()
{
    if (report_shown && regs.new_pll_freq != reported_fin) {
        SetCtrlVal(MainPanelHandle, PANEL_SOLVE_REPORT, "");
        report_shown = false;
    }
}
