#include "app/solve_report.h"

#include "model/reach.h"
#include "model/solve_outcome.h"
#include "model/spurs.h"
#include "app/control_descriptions.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <cstdio>

namespace {

double requested_mhz = 0.0;
SolvedRegisters last_solve;
bool report_shown = false;
double reported_fin = 0.0;

// "R 1, prescaler 10/11", in the switches' own words: what a refusal names.
std::string settings_words_of(const RegisterSet& r)
{
    const ControlDef* mod_sel = CtrlDef(MainPanelHandle, PANEL_MOD_SEL);
    const ControlDef* mash = CtrlDef(MainPanelHandle, PANEL_MASH);
    if (!mod_sel || !mash)
        return "R " + std::to_string(r.R_reg);
    return settings_words(r, r.MOD_SEL == mod_sel->on_value ? mod_sel->on_text : mod_sel->off_text,
                          r.MASH == mash->on_value ? mash->on_text : mash->off_text);
}

// Why the settings cannot reach the target, or "".
std::string unreachable_text(const RegisterSet& r, double target)
{
    const ControlDef* out_freq = CtrlDef(MainPanelHandle, PANEL_PLL_FREQ);
    if (!out_freq)
        return "";
    const FrequencyField field{out_freq->minimum, out_freq->maximum, out_freq->label};
    const std::optional<TargetRefusal> refusal = refuse_target(target, field, reach_of(r), settings_words_of(r));
    return refusal ? refusal->text : "";
}

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
    o.unreachable = unreachable_text(regs, requested_mhz);
    if (o.unreachable.empty())
        o.nearest = nearest_channel_hint(regs, requested_mhz);
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

void show_spur_report()
{
    std::snprintf(buf, kBufSize, "Spurs, as offsets from the carrier: %s.", spurs_text(spur_offsets(regs)).c_str());
    SetCtrlVal(MainPanelHandle, PANEL_SPUR_REPORT, buf);
    // "Out Freq (MHz)" says it too, after what the field is.
    if (const ControlDef* out_freq = CtrlDef(MainPanelHandle, PANEL_PLL_FREQ)) {
        const std::string tip = control_description(*out_freq) + "\n" + buf;
        SetCtrlToolTip(MainPanelHandle, PANEL_PLL_FREQ, tip.c_str());
    }
}
