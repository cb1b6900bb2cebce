#include "model/prescaler_setting.h"

PrescalerSetting prescaler_setting_of(const RegisterSet& r)
{
    if (r.prescaler_en != 0)
        return PrescalerSetting::Bypassed;
    return r.MOD_SEL != 0 ? PrescalerSetting::Modulus5_6 : PrescalerSetting::Modulus10_11;
}

void set_prescaler(RegisterSet& r, PrescalerSetting p)
{
    r.prescaler_en = r.PS_mode = p == PrescalerSetting::Bypassed ? 1 : 0;
    if (p == PrescalerSetting::Modulus10_11)
        r.MOD_SEL = 0;
    else if (p == PrescalerSetting::Modulus5_6)
        r.MOD_SEL = 1;
}
