#include "model/reach.h"

#include "model/chip_limits.h"
#include "model/frequency.h"
#include "model/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

// Fin of the lowest and highest channel of a list of bases, with K from low_k to
// high_k.
void widen(Reach& reach, bool& any, const ReachableCounters& reachable, const std::vector<KeptCounters>& bases,
           uint32_t low_k, uint32_t high_k, double fc)
{
    if (bases.empty())
        return;
    const double low = fin_of(reachable, bases.front(), low_k, fc);
    const double high = fin_of(reachable, bases.back(), high_k, fc);
    reach.lowest_mhz = any ? std::min(reach.lowest_mhz, low) : low;
    reach.highest_mhz = any ? std::max(reach.highest_mhz, high) : high;
    any = true;
}

}  // namespace

Reach reach_of(const RegisterSet& settings)
{
    return reach_of(settings, reachable_counters(settings));
}

Reach reach_of(const RegisterSet& settings, const ReachableCounters& reachable)
{
    const double fc = comparison_frequency(settings.ref_freq, settings.R_reg);
    Reach reach;
    bool any = false;
    widen(reach, any, reachable, reachable.integer, 0, 0, fc);
    widen(reach, any, reachable, reachable.fractional, lowest_fractional_k(reachable), chip::kKMax, fc);
    return reach;
}

std::string settings_words(const RegisterSet& settings, const std::string& prescaler, const std::string& mash)
{
    std::string words = "R " + std::to_string(settings.R_reg) + ", prescaler " +
                        (settings.prescaler_en != 0 ? std::string("bypassed") : prescaler);
    if (settings.N_flag == ZR3500)
        words += ", MASH " + mash;
    return words;
}

std::optional<TargetRefusal> refuse_target(double target_mhz, const FrequencyField& field, const Reach& reach,
                                           const std::string& settings_words)
{
    const std::string target = number_text(target_mhz) + " MHz is ";
    TargetRefusal refusal;
    if (!within_field(target_mhz, field)) {
        refusal.lowest_mhz = field.minimum;
        refusal.highest_mhz = field.maximum;
        refusal.text = target + outside_field_text(field);
        return refusal;
    }
    if (target_mhz >= reach.lowest_mhz && target_mhz <= reach.highest_mhz)
        return std::nullopt;
    refusal.range = TargetRefusal::Range::Settings;
    // Inward to the Hz, so that a target typed as the end shown is taken.
    double low = std::ceil(reach.lowest_mhz * 1e6) / 1e6;
    double high = std::floor(reach.highest_mhz * 1e6) / 1e6;
    const bool overlaps = reach.lowest_mhz <= field.maximum && reach.highest_mhz >= field.minimum;
    const bool clipped = overlaps && (low < field.minimum || high > field.maximum);
    if (overlaps) {
        low = std::max(low, field.minimum);
        high = std::min(high, field.maximum);
    }
    refusal.lowest_mhz = low;
    refusal.highest_mhz = high;
    refusal.text = target + "outside " + frequency_to_the_hz(low) + " to " + frequency_to_the_hz(high) + " MHz, what " +
                   settings_words + " reach" + (clipped ? " in \"" + field.label + "\"" : std::string());
    return refusal;
}
