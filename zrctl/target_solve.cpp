#include "zrctl/target_solve.h"

SolvedRegisters solve_for_target(RegisterSet& r, double target_mhz)
{
    recompute(r);  // the panel's last Fin and Fc, before the target is typed
    return solve_typed_target(r, target_mhz);
}
