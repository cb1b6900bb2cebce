#include "app/numeric_fields.h"

#include "app/calculator.h"
#include "app/solve_report.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

int spin_new_reg_values(int, int control, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    if (control == PANEL_PLL_FREQ) {
        calculate_freq_from_regs(kModeSolve);
        calculate_freq_from_regs(kModeRecompute);
        show_solve_report();
        return 0;
    }
    calculate_freq_from_regs(kModeRecompute);
    return 0;
}
