#pragma once
// The frequency calculator: the one routine that turns the register fields and
// option switches into frequencies and keeps the frequency displays, formula
// texts, register fields and bit toggles consistent with each other.

// Mode 1 solves M, A and K for the target in "Out Freq (MHz)"; mode 2 recomputes
// and redisplays. Any other mode runs only the steps common to both.
inline constexpr int kModeSolve = 1;
inline constexpr int kModeRecompute = 2;

// Reads the switches and M, A, K, forces M and A into range and writes them back,
// shows the symbolic formulas, reads R, Fr and the target, then solves (mode 1) or
// computes and shows the results (mode 2), and ends with Set_Data_Bits.
void calculate_freq_from_regs(int mode);

// Told after every recompute (mode 2) of the panel, for a window that follows the
// main panel's settings; nullptr: nobody.
void set_recompute_listener(void (*listener)());
