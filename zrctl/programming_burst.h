#pragma once
// The burst that "Program Device" sends for a set of settings: the press's
// recompute, then the main word (and for ZR3500 the auxiliary word) as ENH
// "Disable (High)" sends them, or the enhancement word as "Enable  (Low)" does.

#include "zrctl/report.h"
#include "zrctl/settings.h"
#include "zrctl/target_solve.h"

#include "wire/bursts.h"

#include <cstdint>
#include <vector>

struct BurstOptions {
    SettingOptions settings;
    TargetOption target;             // solve this target first, as solve does
    std::string round = kRoundDown;  // how the target is solved: down or nearest
    bool enhancement_path = false;   // ENH "Enable  (Low)"
};

void add_burst_options(CLI::App& command, BurstOptions& options);

struct ProgrammingBurst {
    RegisterSet regs;  // as the press leaves them
    BurstKind kind = BurstKind::Main;
    uint32_t word = 0;      // the main word, or the enhancement word
    uint32_t aux_word = 0;  // 0: none
    uint8_t option_byte = 0;
    std::vector<uint8_t> bytes;
};

ProgrammingBurst programming_burst(const BurstOptions& options);

// What a press sends for settings as they stand: the press's recompute, then
// the counters (ENHBAR 1), or the enhancement word on the enhancement path.
ProgrammingBurst press_burst(const RegisterSet& settings, bool enhancement_path);

// The burst's words, option byte and bytes; and its bytes in hex on one line.
Json burst_json(const ProgrammingBurst& burst);
