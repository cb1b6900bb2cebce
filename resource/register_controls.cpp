#include "resource/register_controls.h"

const RegisterControl* register_control(int control)
{
    for (const RegisterControl& c : kRegisterControls)
        if (c.control == control)
            return &c;
    return nullptr;
}

void set_from_control(RegisterSet& r, const RegisterControl& c, double value)
{
    if (c.frequency)
        r.*c.frequency = value;
    if (c.count)
        r.*c.count = static_cast<uint32_t>(value);
    if (c.position)
        r.*c.position = static_cast<int>(value);
    if (c.also)
        r.*c.also = static_cast<int>(value);
}
