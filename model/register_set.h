#pragma once
// The synthesizer model's state: working copies of the counter registers and
// option switches, the selected part and the frequencies of the last computation.
// On the panel, the controls are the authoritative store and every operation
// loads what it needs into a register set; only N_flag, T_flag, fc and
// temp_pll_freq carry state from one operation to the next.

#include <cstdint>

// The selected part, held in RegisterSet::N_flag.
enum PartType : int {
    ZR3100 = 0,  // integer mode
    ZR3500 = 1,  // fractional mode
};

struct RegisterSet {
    // Counter registers; every comparison on them is unsigned.
    uint32_t R_reg = 0;  // reference counter, 6 bits
    uint32_t M_reg = 0;  // main counter, 9 bits
    uint32_t A_reg = 0;  // swallow counter, 4 bits
    uint32_t K_reg = 0;  // fractional numerator, 18 bits
    uint32_t E_reg = 0;  // enhancement register, 8 bits

    // Option switches, as their switches report them (0 or 1).
    int PS_mode = 0;
    int prescaler_en = 0;  // non-zero: prescaler bypassed
    int MOD_SEL = 0;
    int MASH = 0;
    int RAND_EN = 0;
    int LNM = 0;
    int ENHBAR = 0;

    int modulus = 0;  // prescaler modulus P of the last run: 10, 5 or 1
    int N_flag = 0;   // PartType
    int T_flag = 0;   // 1 after a single-step solve, 0 after a large-change solve

    // Frequencies in MHz.
    double ref_freq = 0.0;
    double new_pll_freq = 0.0;
    double fc = 0.0;
    double fp = 0.0;
    double N_val = 0.0;
    double temp_pll_freq = 0.0;
};
