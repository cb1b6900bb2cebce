#include "zrctl/programming_burst.h"

#include "zrctl/target_solve.h"

#include "wire/serial_words.h"

#include <CLI/CLI.hpp>

void add_burst_options(CLI::App& command, BurstOptions& o)
{
    add_setting_options(command, o.settings, true);
    add_target_options(command, o.target,
                       "solve the registers for this target first, as solve does, instead of --m, --a and --k: "
                       "in MHz, or with its unit (4321MHz, 4.321GHz)",
                       &o.settings);
    add_round_option(command, o.round);
    command.add_flag("--enh-path", o.enhancement_path,
                     "send the enhancement word as ENH \"Enable  (Low)\" does, instead of the main word (and "
                     "the auxiliary word) as \"Disable (High)\" does");
}

ProgrammingBurst programming_burst(const BurstOptions& o)
{
    RegisterSet r = register_set_of(o.settings);
    if (o.target.given())
        solve_for_target(r, typed_target(o.target.name(), o.target.text()), rounding_of(o.round));
    return press_burst(r, o.enhancement_path);
}

ProgrammingBurst press_burst(const RegisterSet& settings, bool enhancement_path)
{
    ProgrammingBurst b;
    RegisterSet& r = b.regs;
    r = settings;
    // The press recomputes first, so the toggles hold the registers the panel shows.
    recompute(r);
    r.ENHBAR = enhancement_path ? 0 : 1;
    const SettingsWords w = serial_words_of(r);
    b.option_byte = w.option_byte;
    if (r.ENHBAR != 0) {
        b.word = w.main;
        b.aux_word = w.auxiliary;
    } else {
        b.word = w.enhancement;
    }
    b.kind = burst_kind(r.ENHBAR, b.aux_word);
    b.bytes = build_burst(b.word, b.aux_word, b.option_byte, r.ENHBAR);
    return b;
}

Json burst_json(const ProgrammingBurst& b)
{
    const bool enhancement = b.kind == BurstKind::Enhancement;
    Json j;
    j[json_field::kSettings] = settings_json(b.regs);
    j["note"] = nullptr;  // a target out of range is refused; scripts may still read the key
    j[json_field::kRegisters] = registers_json(b.regs);
    j[json_field::kFinMhz] = b.regs.new_pll_freq;
    j["path"] = enhancement ? "enhancement" : "main";
    j[json_field::kMainWord] = enhancement ? Json(nullptr) : Json(b.word);
    j[json_field::kAuxiliaryWord] = b.aux_word != 0 ? Json(b.aux_word) : Json(nullptr);
    j[json_field::kEnhancementWord] = enhancement ? Json(b.word) : Json(nullptr);
    j[json_field::kOptionByte] = b.option_byte;
    j["length"] = b.bytes.size();
    j["hex"] = hex_bytes(b.bytes);
    j["bytes"] = b.bytes;
    return j;
}
