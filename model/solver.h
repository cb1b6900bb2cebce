#pragma once
// The register solver: turns a target output frequency into M, A and K by
// inverting N = P x (M + 1) + A + (2 x K + RAND_EN) / 524288 with N = Fin / Fc,
// truncating toward zero, never rounding.
//
// It tells three kinds of change apart by comparing the target with the last
// displayed Fin: a single arrow step (exactly 0.2 MHz) moves one channel of Fc up
// or down; a change of more than 1.0 MHz solves M and A afresh; any other change
// keeps M and A and, for the fractional part, solves only K.

#include <cstdint>

// The increment of "Out Freq (MHz)": a target exactly this far from the last Fin
// is an arrow step.
inline constexpr double kArrowStepMhz = 0.2;

struct SolverInput {
    double target = 0.0;    // F: the frequency committed in "Out Freq (MHz)"
    double last_fin = 0.0;  // T: the Fin of the last computation
    double fc = 0.0;        // the Fc of the last computation
    int modulus = 10;       // P: 10, 5, or 1 in bypass
    int prescaler_en = 0;   // non-zero: bypassed
    int N_flag = 0;         // PartType
    int RAND_EN = 0;
    int MASH = 0;
    int T_flag = 0;
    uint32_t M = 0, A = 0, K = 0;  // as the range rules left them
    // Solve M and A afresh whatever the distance from the last Fin, as for a
    // target typed far from it: no arrow step, no small change.
    bool fresh = false;
};

struct SolverResult {
    double target = 0.0;  // F, moved by one channel after a single step
    uint32_t M = 0, A = 0, K = 0;
    int T_flag = 0;
};

SolverResult solve_registers(const SolverInput& in);
