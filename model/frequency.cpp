#include "model/frequency.h"

#include "model/chip_limits.h"

double comparison_frequency(double ref_freq, uint32_t R)
{
    return ref_freq / (R + 1.0);
}

double division_ratio(uint32_t M, uint32_t A, uint32_t K, int modulus, int RAND_EN)
{
    return (M + 1.0) * modulus + A + (RAND_EN + 2.0 * K) / chip::kFractionalDenominator;
}

FrequencyResult compute_frequencies(double ref_freq, uint32_t R, uint32_t M, uint32_t A, uint32_t K,
                                    int modulus, int RAND_EN)
{
    FrequencyResult r;
    r.fc = comparison_frequency(ref_freq, R);
    r.fin = division_ratio(M, A, K, modulus, RAND_EN) * r.fc;
    r.n = r.fin / r.fc;
    r.fp = r.fin / division_ratio(M, A, K, modulus, RAND_EN);
    return r;
}
