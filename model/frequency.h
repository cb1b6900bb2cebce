#pragma once
// The synthesizer relation, all frequencies in MHz:
//   Fc  = Fr / (R + 1)
//   N   = P x (M + 1) + A + (2 x K + RAND_EN) / 524288
//   Fin = Fc x N,  Fp = Fin / N
// The fractional term is a 19-bit fraction: K above, the dither bit below.

#include <cstdint>

struct FrequencyResult {
    double fc = 0.0;   // comparison frequency
    double fin = 0.0;  // output frequency
    double n = 0.0;    // total division ratio, Fin / Fc
    double fp = 0.0;   // output of the main divider chain
};

// Fc = Fr / (R + 1): the comparison frequency.
double comparison_frequency(double ref_freq, uint32_t R);

// The division ratio in the form the calculator uses:
// (M + 1) x P + A + (RAND_EN + 2 x K) / 524288, left to right in doubles.
double division_ratio(uint32_t M, uint32_t A, uint32_t K, int modulus, int RAND_EN);

// Mode-2 arithmetic, in this order: Fc, Fin = D x Fc, N = Fin / Fc, Fp = Fin / D.
FrequencyResult compute_frequencies(double ref_freq, uint32_t R, uint32_t M, uint32_t A, uint32_t K,
                                    int modulus, int RAND_EN);
