#include "model/calculation.h"

#include "model/chip_limits.h"
#include "model/frequency.h"
#include "model/range_rules.h"
#include "model/solver.h"
#include "model/toggle_pattern.h"

#include <cstdio>

int modulus_of(int MOD_SEL)
{
    return MOD_SEL != 0 ? chip::kModulus5_6 : chip::kModulus10_11;
}

void drop_fractional_term_for_integer_part(RegisterSet& r)
{
    if (r.N_flag == ZR3100) {
        r.K_reg = 0;
        r.RAND_EN = 0;
    }
}

uint32_t held_in_register(uint32_t value, int bits)
{
    return toggle_pattern(value, static_cast<std::size_t>(bits));
}

bool has_fractional_term(const RegisterSet& r)
{
    return r.K_reg != 0 || r.RAND_EN != 0;
}

Configuration apply_range_branch(RegisterSet& r)
{
    if (r.prescaler_en != 0)
        r.modulus = chip::kModulusBypass;
    RangeSettings s;
    s.prescaler_en = r.prescaler_en;
    s.N_flag = r.N_flag;
    s.K = r.K_reg;
    s.RAND_EN = r.RAND_EN;
    s.MASH = r.MASH;
    s.modulus = r.modulus;
    s.LNM = r.LNM;
    s.T_flag = r.T_flag;
    const Counters c = apply_range_rules({r.M_reg, r.A_reg}, s);
    r.M_reg = c.M;
    r.A_reg = c.A;
    return configuration_of(r.prescaler_en, r.N_flag);
}

void solve_target(RegisterSet& r, bool fresh)
{
    SolverInput in;
    in.target = r.new_pll_freq;
    in.last_fin = r.temp_pll_freq;
    in.fc = r.fc;
    in.modulus = r.modulus;
    in.prescaler_en = r.prescaler_en;
    in.N_flag = r.N_flag;
    in.RAND_EN = r.RAND_EN;
    in.MASH = r.MASH;
    in.T_flag = r.T_flag;
    in.M = r.M_reg;
    in.A = r.A_reg;
    in.K = r.K_reg;
    in.fresh = fresh;
    const SolverResult s = solve_registers(in);
    r.new_pll_freq = s.target;
    r.M_reg = s.M;
    r.A_reg = s.A;
    r.K_reg = s.K;
    r.T_flag = s.T_flag;
}

void compute_results(RegisterSet& r)
{
    const FrequencyResult f =
        compute_frequencies(r.ref_freq, r.R_reg, r.M_reg, r.A_reg, r.K_reg, r.modulus, r.RAND_EN);
    r.fc = f.fc;
    r.new_pll_freq = f.fin;
    r.N_val = f.n;
    r.fp = f.fp;
    r.temp_pll_freq = f.fin;
}

FrequencyError frequency_error(double requested_mhz, double achieved_mhz)
{
    FrequencyError e;
    e.hz = (achieved_mhz - requested_mhz) * 1e6;
    e.ppm = (achieved_mhz - requested_mhz) / requested_mhz * 1e6;
    return e;
}

void hold_in_register_widths(RegisterSet& r)
{
    r.M_reg = held_in_register(r.M_reg, chip::kMBits);
    r.A_reg = held_in_register(r.A_reg, chip::kABits);
    r.K_reg = held_in_register(r.K_reg, chip::kKBits);
}

Configuration recompute(RegisterSet& r)
{
    drop_fractional_term_for_integer_part(r);
    r.modulus = modulus_of(r.MOD_SEL);
    const Configuration config = apply_range_branch(r);
    compute_results(r);
    return config;
}

SolvedRegisters solve_typed_target(RegisterSet& r, double target)
{
    drop_fractional_term_for_integer_part(r);
    r.modulus = modulus_of(r.MOD_SEL);
    apply_range_branch(r);
    r.new_pll_freq = target;
    solve_target(r, /*fresh=*/true);
    hold_in_register_widths(r);
    const SolvedRegisters solved{r.M_reg, r.A_reg, r.K_reg};
    recompute(r);
    return solved;
}

void format_calculator_text(CalculatorText which, const RegisterSet& r, char* out, std::size_t size)
{
    // Registers are printed with %d as they are held.
    const int R = static_cast<int>(r.R_reg);
    const int M = static_cast<int>(r.M_reg);
    const int A = static_cast<int>(r.A_reg);
    const int K = static_cast<int>(r.K_reg);
    const int P = r.modulus;
    const int RAND_EN = r.RAND_EN;
    const double Fr = r.ref_freq, Fin = r.new_pll_freq, Fp = r.fp;

    switch (which) {
    case CalculatorText::SymbolicFin:
    case CalculatorText::SymbolicFp: {
        const Configuration config = configuration_of(r.prescaler_en, r.N_flag);
        const FormulaPair f = symbolic_formulas(config);
        const char* text = which == CalculatorText::SymbolicFin ? f.fin : f.fp;
        if (config == Configuration::PrescalerInteger || config == Configuration::PrescalerFractional)
            std::snprintf(out, size, text, P);
        else
            std::snprintf(out, size, "%s", text);
        return;
    }
    case CalculatorText::R: std::snprintf(out, size, kRText, R); return;
    case CalculatorText::Fc: std::snprintf(out, size, kFcText, Fr, R, r.fc); return;
    case CalculatorText::N: std::snprintf(out, size, kNText, r.N_val); return;
    case CalculatorText::WorkedFin:
    case CalculatorText::WorkedFp: break;
    }

    const Configuration config = configuration_of(r.modulus == chip::kModulusBypass, r.N_flag);
    const FormulaPair w = worked_formulas(config);
    const bool fin = which == CalculatorText::WorkedFin;
    switch (config) {
    case Configuration::PrescalerInteger:
        if (fin)
            std::snprintf(out, size, w.fin, P, M, Fr, R, Fin);
        else
            std::snprintf(out, size, w.fp, Fin, P, M, A, Fp);
        return;
    case Configuration::PrescalerFractional:
        if (fin)
            std::snprintf(out, size, w.fin, P, M, A, K, RAND_EN, Fr, R, Fin);
        else
            std::snprintf(out, size, w.fp, Fin, P, M, A, K, RAND_EN, Fp);
        return;
    case Configuration::BypassInteger:
        if (fin)
            std::snprintf(out, size, w.fin, M, Fr, R, Fin);
        else
            std::snprintf(out, size, w.fp, Fin, M, Fp);
        return;
    case Configuration::BypassFractional:
        if (fin)
            std::snprintf(out, size, w.fin, M, K, RAND_EN, Fr, R, Fin);
        else
            std::snprintf(out, size, w.fp, Fin, M, K, RAND_EN, Fp);
        return;
    }
}
