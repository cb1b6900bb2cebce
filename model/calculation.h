#pragma once
// The frequency calculator's work on a register set, without a panel: the range
// rules, the solve of a target, the computation of Fc, Fin, N and Fp, and the
// texts that show them. The panel's calculator loads its controls into a
// register set, runs these in its own order and writes the results back.

#include "model/formula_texts.h"
#include "model/register_set.h"

#include <cstddef>
#include <cstdint>

// P as the Mod Select switch chooses it: 5 for "5/6" (non-zero), 10 for "10/11".
int modulus_of(int MOD_SEL);

// While the integer part is in force the fractional term counts as zero in every
// computation and rule: K and the dither bit of the working copies become 0 (the
// controls keep theirs for a later fractional choice).
void drop_fractional_term_for_integer_part(RegisterSet& r);

// A register holds its width: a value beyond it is held at all ones, as its row
// of bit toggles and so the chip take it.
uint32_t held_in_register(uint32_t value, int bits);

// Whether there is a fractional term: K or the dither bit. Without one, the MASH
// order and the LNM jumper mean nothing.
bool has_fractional_term(const RegisterSet& r);

// The branch that the prescaler switch and the part select: in bypass the
// modulus becomes 1 and A 0; then that branch's range rule forces M and A into
// range. r.modulus must hold the Mod Select modulus on entry. Returns the
// configuration, which also chooses the symbolic formulas.
Configuration apply_range_branch(RegisterSet& r);

// Solves M, A and K for the target r.new_pll_freq against the Fin and Fc of the
// last computation (r.temp_pll_freq, r.fc). An arrow step moves the target by one
// channel; `fresh` solves M and A afresh whatever the distance.
void solve_target(RegisterSet& r, bool fresh = false);

// Fc, Fin, N and Fp from the registers; the target and the last Fin become Fin.
void compute_results(RegisterSet& r);

// How far the frequency the registers give lies from the one asked for.
struct FrequencyError {
    double hz = 0.0;
    double ppm = 0.0;  // relative to the frequency asked for; not finite when that is 0
};
FrequencyError frequency_error(double requested_mhz, double achieved_mhz);

// M, A and K as their register fields hold them: a value beyond a register's
// width is held at all ones, which is what its bit toggles, and so the chip, get.
void hold_in_register_widths(RegisterSet& r);

// The panel's recompute (mode 2) of a register set that holds its switches and
// fields: P from Mod Select, the range branch, then Fc, Fin, N and Fp.
Configuration recompute(RegisterSet& r);

// M, A and K as a solve wrote them to their fields, before the range rules of
// the recompute that follows.
struct SolvedRegisters {
    uint32_t M = 0, A = 0, K = 0;
};

// What the panel does with a target typed far from its last Fin (mode 1, then
// mode 2): the range branch, M and A solved afresh and K for them, the solved
// registers held as their fields hold them, then the recompute. r holds the Fc
// and Fin of an earlier recompute, which the solve starts from.
SolvedRegisters solve_typed_target(RegisterSet& r, double target);

// The calculator's texts.
enum class CalculatorText {
    SymbolicFin,  // by the configuration of the range branch, with P
    SymbolicFp,
    R,            // "R=%d"
    Fc,           // "Fc = %.3f / (%d + 1) = %.3f MHz"
    N,            // "N=%f"
    WorkedFin,    // by bypass (modulus 1) and part, with the numbers filled in
    WorkedFp,
};

// Formats one text of r into out, at most size bytes with its terminator.
void format_calculator_text(CalculatorText which, const RegisterSet& r, char* out, std::size_t size);
