#include "wire/sweep_bursts.h"

#include "wire/serial_words.h"

namespace {

constexpr int kSweepEnhbar = 1;  // the counters, never the enhancement register

}  // namespace

SweepWords sweep_words(const SweepPlan& plan, const SweepPoint& p)
{
    const SettingsWords w = serial_words_of(settings_with(plan, p));
    return {w.main, w.auxiliary};
}

uint8_t sweep_option_byte(const SweepPlan& plan)
{
    RegisterSet r = plan.settings;
    r.ENHBAR = kSweepEnhbar;
    return serial_words_of(r).option_byte;
}

void build_sweep_burst(const SweepPlan& plan, const SweepPoint& point, const SweepPoint* previous, SweepBurst& out)
{
    const SweepWords w = sweep_words(plan, point);
    const uint8_t O = sweep_option_byte(plan);
    out.auxiliary_only = w.aux != 0 && previous && sweep_words(plan, *previous).main == w.main;
    // The auxiliary word alone goes as a main word would: 21 bits and one latch.
    if (out.auxiliary_only)
        out.length = build_burst(BurstKind::Main, w.aux, 0, O, out.bytes);
    else
        out.length = build_burst(burst_kind(kSweepEnhbar, w.aux), w.main, w.aux, O, out.bytes);
}
