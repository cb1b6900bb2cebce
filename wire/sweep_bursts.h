#pragma once
// What a sweep sends for each point: the counters as "Program Device" sends them
// with ENH at "Disable (High)" (ENHBAR 1 on the option lines, whatever the switch
// shows), in one burst per point. For ZR3500, a point whose main word equals
// that of the point written before it sends only its auxiliary word: 49 bytes
// whose one latched word the chip tells apart by its last bits 001.

#include "wire/bursts.h"
#include "model/sweep_plan.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct SweepWords {
    uint32_t main = 0;
    uint32_t aux = 0;  // 0: none (ZR3100)
};

SweepWords sweep_words(const SweepPlan& plan, const SweepPoint& point);

// The option byte of every burst of the sweep.
uint8_t sweep_option_byte(const SweepPlan& plan);

struct SweepBurst {
    BurstBytes bytes{};
    std::size_t length = 0;
    bool auxiliary_only = false;
};

// The burst for a point; previous is the point written just before it, or
// nullptr when nothing of the sweep was written yet.
void build_sweep_burst(const SweepPlan& plan, const SweepPoint& point, const SweepPoint* previous, SweepBurst& out);
