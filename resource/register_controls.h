#pragma once
// The main panel's controls that hold a register set's fields and switches, each
// with the member of RegisterSet it holds: the one mapping that the panel (through
// its control values) and zrctl's --state (through a saved state's values) read.

#include "model/register_set.h"
#include "resource/New_Panel.h"

#include <cstdint>

struct RegisterControl {
    int control;
    // The member it holds, by the control's type: a frequency field in MHz, a
    // register field, or a switch's position.
    double RegisterSet::*frequency = nullptr;
    uint32_t RegisterSet::*count = nullptr;
    int RegisterSet::*position = nullptr;
    int RegisterSet::*also = nullptr;  // a second member that follows the switch
    // A setting, or a result that the recompute writes from the settings (Out
    // Freq): a result is read, never written back nor taken from a saved state.
    bool setting = true;
};

inline constexpr RegisterControl kRegisterControls[] = {
    {.control = PANEL_REF_FREQ, .frequency = &RegisterSet::ref_freq},
    {.control = PANEL_PLL_FREQ, .frequency = &RegisterSet::new_pll_freq, .setting = false},
    {.control = PANEL_R_REG, .count = &RegisterSet::R_reg},
    {.control = PANEL_M_REG, .count = &RegisterSet::M_reg},
    {.control = PANEL_A_REG, .count = &RegisterSet::A_reg},
    {.control = PANEL_K_REG, .count = &RegisterSet::K_reg},
    {.control = PANEL_E_REG, .count = &RegisterSet::E_reg},
    {.control = PANEL_SEC_4, .position = &RegisterSet::prescaler_en, .also = &RegisterSet::PS_mode},
    {.control = PANEL_MOD_SEL, .position = &RegisterSet::MOD_SEL},
    {.control = PANEL_RAND_EN, .position = &RegisterSet::RAND_EN},
    {.control = PANEL_MASH, .position = &RegisterSet::MASH},
    {.control = PANEL_ENHBAR, .position = &RegisterSet::ENHBAR},
    {.control = PANEL_LNM, .position = &RegisterSet::LNM},
};

// The control's member of r set from a value the control holds (a register's
// value is whole, a switch's one of its positions), or nullptr for a control
// that holds none.
const RegisterControl* register_control(int control);
void set_from_control(RegisterSet& r, const RegisterControl& c, double value);
