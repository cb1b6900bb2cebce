#include "model/frequency_field.h"

#include "model/number_text.h"

#include <cstdio>

bool within_field(double mhz, const FrequencyField& field)
{
    return mhz >= field.minimum && mhz <= field.maximum;
}

std::string outside_field_text(const FrequencyField& field)
{
    return "outside " + number_text(field.minimum) + " to " + number_text(field.maximum) +
           ", the range of the field \"" + field.label + "\"";
}

std::string frequency_to_the_hz(double mhz)
{
    char text[400];  // the widest double in %f
    std::snprintf(text, sizeof text, "%.6f", mhz);
    std::string t = text;
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0')
            t.pop_back();
        if (t.back() == '.')
            t.pop_back();
    }
    return t;
}
