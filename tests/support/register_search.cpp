#include "support/register_search.h"

#include "model/calculation.h"
#include "model/frequency.h"

#include <cmath>

void search_registers(const RegisterSet& settings, double target,
                      const std::function<void(const RegisterSet& ruled, uint32_t K, double fin)>& visit)
{
    for (uint32_t M = 0; M <= 511; ++M) {
        for (uint32_t A = 0; A <= 15; ++A) {
            RegisterSet r = settings;
            r.M_reg = M;
            r.A_reg = A;
            r.K_reg = 0;
            r.T_flag = 0;
            recompute(r);
            visit(r, r.K_reg, r.new_pll_freq);
            if (settings.N_flag != ZR3500)
                continue;
            r.M_reg = M;
            r.A_reg = A;
            r.K_reg = 1;
            recompute(r);
            const double below = division_ratio(r.M_reg, r.A_reg, 0, r.modulus, 0);
            const double ideal = std::floor(((target / r.fc - below) * 524288.0 - r.RAND_EN) / 2.0);
            for (double k : {1.0, 262143.0, ideal - 1, ideal, ideal + 1, ideal + 2}) {
                if (!(k >= 1.0 && k <= 262143.0))
                    continue;
                const auto K = static_cast<uint32_t>(k);
                visit(r, K, compute_frequencies(r.ref_freq, r.R_reg, r.M_reg, r.A_reg, K, r.modulus, r.RAND_EN).fin);
            }
        }
    }
}
