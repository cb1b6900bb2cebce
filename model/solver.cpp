#include "model/solver.h"

#include "model/chip_limits.h"
#include "model/range_rules.h"
#include "model/unsigned_truncation.h"

namespace {

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

    const bool step_up = !in.fresh && T + kArrowStepMhz == F;
    const bool step_down = !in.fresh && T - kArrowStepMhz == F;
    const bool large_up = in.fresh ? F >= T : F > T + kSmallChange;
    const bool large_down = in.fresh ? F < T : F < T - kSmallChange;

    if (step_up) {  // one arrow step up: one channel up
        r.T_flag = 1;
        F = T + in.fc;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
    } else if (step_down) {  // one arrow step down: one channel down
        r.T_flag = 1;
        F = T - in.fc;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
        if (r.A > r.M + 1)
            r.A = r.M + 1;
    } else if (large_up) {
        r.T_flag = 0;
        solve_m_and_a(F, in.fc, P, &r.M, &r.A);
    } else if (large_down) {
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
    r.K = truncate_unsigned(((x - r.A - channels_below(r.M, P)) * chip::kFractionalDenominator - in.RAND_EN) / 2.0);
    if (in.prescaler_en == 0 || r.K == 0) {
        r.M = clamp_into(r.M, chip::kMMin, chip::kMMax);
        if (r.A > r.M + 1)
            r.A = r.M + 1;
    } else {
        r.M = clamp_bypass_modulator_m(r.M, in.MASH);
    }
    return r;
}
