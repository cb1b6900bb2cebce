#pragma once
// What a setting reaches: the lowest and highest Fin of the M, A and K that the
// range rules keep for its part, Fr, R, prescaler, modulator order, LNM jumper
// and dither; and a typed target checked against that and against the field it
// is typed into. Between the two ends the rules may leave gaps, which a solve
// rounds across; outside them there is nothing to round to.

#include "model/frequency_field.h"
#include "model/reachable_counters.h"
#include "model/register_set.h"

#include <optional>
#include <string>

struct Reach {
    double lowest_mhz = 0.0;
    double highest_mhz = 0.0;
};

Reach reach_of(const RegisterSet& settings);
Reach reach_of(const RegisterSet& settings, const ReachableCounters& reachable);

struct TargetRefusal {
    enum class Range { Field, Settings } range = Range::Field;
    // The range named, each end rounded inward to the Hz.
    double lowest_mhz = 0.0;
    double highest_mhz = 0.0;
    // "-5 MHz is outside 0 to 5000, the range of the field "Out Freq (MHz)"", or
    // "500 MHz is outside 1000 to 5000 MHz, what R 1, prescaler 10/11 reach in "Out Freq (MHz)"".
    std::string text;
};

// "R 1, prescaler 10/11, MASH 1-1": the settings a refusal names, with the
// prescaler's and the modulator's switch texts as the caller shows them. A
// bypassed prescaler is "bypassed"; the modulator is named for the ZR3500 only.
std::string settings_words(const RegisterSet& settings, const std::string& prescaler, const std::string& mash);

// Refuses a target outside the field, then one outside the reach: of the reach,
// the part within the field is named where there is one. settings_words names
// the settings in the caller's words: "R 1, prescaler 10/11".
std::optional<TargetRefusal> refuse_target(double target_mhz, const FrequencyField& field, const Reach& reach,
                                           const std::string& settings_words);
