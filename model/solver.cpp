#include "model/solver.h"

#include "model/calculator.h"
#include "model/frequency.h"
#include "model/range_rules.h"
#include "model/register_set.h"
#include "model/unsigned_truncation.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/ui_runtime.h"

namespace {

constexpr double kArrowStep = 0.2;      // the increment of "Out Freq (MHz)"
constexpr double kSmallChange = 1.0;    // MHz; up to this, M and A are kept

// (M + 1) x P, formed in unsigned 32-bit arithmetic and then converted.
double channels_below(uint32_t M, int modulus)
{
    return static_cast<double>((M + 1u) * static_cast<uint32_t>(modulus));
}

void solve_m_and_a(double F, double fc, int P, uint32_t* M, uint32_t* A)
{
    const double x = F / fc;
    *M = truncate_unsigned(x * (1.0 / P) - 1.0);
    *A = truncate_unsigned(x - channels_below(*M, P));
}

}  // namespace

SolverResult solve_registers(const SolverInput& in)
{
    const double T = in.last_fin;
    const int P = in.modulus;
    SolverResult r;
    r.target = in.target;
    r.M = in.M;
    r.A = in.A;
    r.K = in.K;
    r.T_flag = in.T_flag;
    double& F = r.target;

    if (T + kArrowStep == F) {  // one arrow step up: one channel up
        r.T_flag = 1;
        F = T + in.fc;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
    } else if (T - kArrowStep == F) {  // one arrow step down: one channel down
        r.T_flag = 1;
        F = T - in.fc;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
        if (r.A > r.M + 1)
            r.A = r.M + 1;
    } else if (F > T + kSmallChange) {
        r.T_flag = 0;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
    } else if (F < T - kSmallChange) {
        r.T_flag = 0;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
        if (r.A > r.M + 1)
            r.A = r.M + 1;
    }

    if (in.N_flag == 0) {
        r.K = 0;
        return r;
    }
    // The fractional part: K takes what M and A leave of the ratio, in all cases.
    const double x = F / in.fc;
    r.K = truncate_unsigned(((x - r.A - channels_below(r.M, P)) * kFractionalDenominator - in.RAND_EN) / 2.0);
    if (in.prescaler_en == 0 || r.K == 0) {
        r.M = clamp_into(r.M, 1, 511);
        if (r.A > r.M + 1)
            r.A = r.M + 1;
    } else {
        r.M = in.MASH == 0 ? clamp_into(r.M, 4, 507) : clamp_into(r.M, 2, 509);
    }
    return r;
}

void solve_for_target()
{
    SolverInput in;
    in.target = regs.new_pll_freq;
    in.last_fin = regs.temp_pll_freq;
    in.fc = regs.fc;
    in.modulus = regs.modulus;
    in.prescaler_en = regs.prescaler_en;
    in.N_flag = regs.N_flag;
    in.RAND_EN = regs.RAND_EN;
    in.MASH = regs.MASH;
    in.T_flag = regs.T_flag;
    in.M = regs.M_reg;
    in.A = regs.A_reg;
    in.K = regs.K_reg;
    const SolverResult r = solve_registers(in);
    regs.new_pll_freq = r.target;
    regs.M_reg = r.M;
    regs.A_reg = r.A;
    regs.K_reg = r.K;
    regs.T_flag = r.T_flag;
    SetCtrlVal(MainPanelHandle, PANEL_M_REG, regs.M_reg);
    SetCtrlVal(MainPanelHandle, PANEL_A_REG, regs.A_reg);
    SetCtrlVal(MainPanelHandle, PANEL_K_REG, regs.K_reg);
}

int spin_new_reg_values(int, int control, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    if (control == PANEL_PLL_FREQ)
        calculate_freq_from_regs(kModeSolve);
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}
