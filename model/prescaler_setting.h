#pragma once
// The three ways the prescaler switch and Mod Select set the prescaler together:
// in use with modulus 10/11 or 5/6, or bypassed.

#include "model/register_set.h"

enum class PrescalerSetting { Modulus10_11, Modulus5_6, Bypassed };

PrescalerSetting prescaler_setting_of(const RegisterSet& r);

// Sets the prescaler switch (and PS_mode with it) and Mod Select. Bypassing
// leaves Mod Select as it stands: its modulus is then not used.
void set_prescaler(RegisterSet& r, PrescalerSetting p);
