#pragma once
// The planner: for a target, every R in a range, every prescaler setting and
// modulator order allowed, each solved by truncation (the panel's rule) and by
// the nearest channel, the range rules applied; those within a tolerance, ranked
// by the smaller error, then by the integer-boundary spur farther from the
// carrier. It marks the one the panel would choose from the settings as they
// stand.

#include "model/chip_limits.h"
#include "model/prescaler_setting.h"
#include "model/register_set.h"
#include "model/spurs.h"

#include <cstdint>
#include <vector>

struct PlanRequest {
    double target_mhz = 0.0;
    double tolerance_hz = 0.0;  // |Fin - target| at most this
    uint32_t r_min = 0;
    uint32_t r_max = (1u << chip::kRBits) - 1;  // R beyond its 6 bits is not tried
    std::vector<PrescalerSetting> prescalers;  // those allowed; none given: the settings' own
    std::vector<int> mash;                     // MASH2SEL values allowed (ZR3500); none given: the settings' own
};

struct PlanCandidate {
    // The settings with this R, prescaler and MASH, and the solved M, A and K,
    // recomputed: Fc, Fin and every switch as it would be programmed.
    RegisterSet registers;
    double error_hz = 0.0;  // Fin - target
    SpurOffsets spurs;
    bool by_truncation = false;  // what the panel's rule gives for this R, prescaler and MASH
    bool by_nearest = false;     // the nearest channel for them
    bool panel_choice = false;   // what the panel gives for the settings as they stand
};

struct Plan {
    std::vector<PlanCandidate> candidates;  // within the tolerance, best first
    PlanCandidate panel;  // the panel's choice, within the tolerance or not
};

// Part, Fr, LNM jumper, dither and E are the settings'; so are R, prescaler and
// MASH of the panel's choice.
Plan plan_target(const RegisterSet& settings, const PlanRequest& request);

// The ranking: the smaller |error| first; of equal errors, the integer-boundary
// spur farther from the carrier (none is farthest).
bool ranks_before(const PlanCandidate& a, const PlanCandidate& b);
