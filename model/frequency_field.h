#pragma once
// The field a target frequency is typed into, as the UI resource declares it,
// and the words that refuse a frequency outside it.

#include <string>

struct FrequencyField {
    double minimum = 0.0;
    double maximum = 0.0;
    std::string label;  // "Out Freq (MHz)"
};

// Whether the field takes the frequency as it stands: a number within its range.
bool within_field(double mhz, const FrequencyField& field);

// "outside 0 to 5000, the range of the field \"Out Freq (MHz)\""
std::string outside_field_text(const FrequencyField& field);

// A frequency in MHz to the Hz, without trailing zeros: "4321", "4220.999908".
std::string frequency_to_the_hz(double mhz);
