#include "wire/sweep_bursts.h"

#include "wire/serial_words.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kSweepEnhbar = 1;  // the counters, never the enhancement register

}  // namespace

SweepWords sweep_words(const SweepPlan& plan, const SweepPoint& p)
{
    SweepWords w;
    w.main = main_word_of(p.R, p.M, plan.settings.PS_mode, p.A);
    w.aux = plan.settings.N_flag != ZR3100 ? auxiliary_word_of(p.K) : 0;
    return w;
}

uint8_t sweep_option_byte(const SweepPlan& plan)
{
    const RegisterSet& s = plan.settings;
    return pack_option_byte(kSweepEnhbar, s.MASH, s.RAND_EN, s.MOD_SEL);
}

void build_sweep_burst(const SweepPlan& plan, const SweepPoint& point, const SweepPoint* previous, SweepBurst& out)
{
    const SweepWords w = sweep_words(plan, point);
    const uint8_t O = sweep_option_byte(plan);
    out.auxiliary_only = w.aux != 0 && previous && sweep_words(plan, *previous).main == w.main;
    if (out.auxiliary_only || w.aux == 0) {
        uint8_t burst[kMainBurstLength];
        build_main_burst(out.auxiliary_only ? w.aux : w.main, O, burst);
        std::copy(std::begin(burst), std::end(burst), out.bytes.begin());
        out.length = kMainBurstLength;
    } else {
        uint8_t burst[kMainAuxBurstLength];
        build_main_aux_burst(w.main, w.aux, O, burst);
        std::copy(std::begin(burst), std::end(burst), out.bytes.begin());
        out.length = kMainAuxBurstLength;
    }
}
