// zrctl solve FREQ: the registers for a target, as the panel solves a target
// typed far from its last Fin, and everything the panel then shows.
#include "zrctl/commands/commands.h"

#include "zrctl/failure.h"
#include "zrctl/numbers.h"
#include "zrctl/report.h"
#include "zrctl/settings.h"
#include "zrctl/spur_report.h"
#include "zrctl/target_solve.h"

#include "wire/serial_words.h"
#include "resource/New_Panel.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

struct SolveOptions {
    TargetOption target;
    SettingOptions settings;
    std::string round = kRoundDown;
    TextOption loop_bw;
};

void run_solve(const SolveOptions& o, Output& output)
{
    std::ostream& out = output.out;
    if (!o.target.given())
        throw Failure(ExitStatus::Usage, "give the target frequency: zrctl solve 4321, or --freq 4321");
    const double target = typed_target(o.target.name(), o.target.text());
    const std::optional<double> loop_bw_hz = loop_bandwidth_hz(o.loop_bw);
    RegisterSet r = register_set_of(o.settings);
    const SolvedRegisters solved = solve_for_target(r, target, rounding_of(o.round));
    const SpurOffsets spurs = spur_offsets(r);

    const FrequencyError error = frequency_error(target, r.new_pll_freq);
    const bool has_ppm = target != 0.0;
    // The words a press with ENH "Disable (High)" sends for these registers.
    RegisterSet pressed = r;
    pressed.ENHBAR = 1;
    const SettingsWords words = serial_words_of(pressed);
    const uint32_t main_word = words.main;
    const bool has_aux = words.auxiliary != 0;
    const uint32_t aux_word = words.auxiliary;
    const uint8_t option_byte = words.option_byte;

    if (output.json) {
        Json j;
        j["command"] = "solve";
        j[json_field::kSettings] = settings_json(r);
        j["requested_mhz"] = frequency_of(o.target.name(), o.target.text());
        j["target_mhz"] = target;
        j["note"] = nullptr;  // a target out of range is refused; scripts may still read the key
        j["solved"] = {{"M", solved.M}, {"A", solved.A}, {"K", solved.K}};
        j["changed_by_rules"] = rule_changes_json(solved.M, solved.A, r);
        j.update(results_json(r));
        j["error_hz"] = error.hz;
        j["error_ppm"] = has_ppm ? Json(error.ppm) : Json(nullptr);
        j[json_field::kMainWord] = main_word;
        j[json_field::kAuxiliaryWord] = has_aux ? Json(aux_word) : Json(nullptr);
        j[json_field::kOptionByte] = option_byte;
        j["round"] = o.round;
        j["spurs"] = spurs_json(spurs, loop_bw_hz);
        out << json_text(j) << '\n';
        return;
    }
    out << settings_line(r) << '\n'
        << "target     " << field_text(PANEL_PLL_FREQ, target) << " MHz\n";
    print_registers(out, r);
    char error_line[96];
    if (has_ppm)
        std::snprintf(error_line, sizeof error_line, "error      %+.3f Hz, %+.4f ppm", error.hz, error.ppm);
    else
        std::snprintf(error_line, sizeof error_line, "error      %+.3f Hz", error.hz);
    out << error_line << '\n' << rule_changes_line(solved.M, solved.A, r) << '\n';
    print_spurs(out, spurs, loop_bw_hz);
    out << "main word " << hex_text(main_word, 6);
    if (has_aux)
        out << "  auxiliary word " << hex_text(aux_word, 6);
    out << "  option byte " << hex_text(option_byte, 2) << '\n';
    print_texts(out, r);
}

}  // namespace

Command add_solve_command(CLI::App& zrctl)
{
    auto o = std::make_shared<SolveOptions>();
    CLI::App* solve = zrctl.add_subcommand(
        "solve", "The registers for a target frequency, solved as the panel solves a target typed far from the "
                 "last one, then range-ruled and recomputed: R, M, A, K, Fc, N, Fin, Fp with the panel's texts, the "
                 "error against the target, what the range rules changed, the words and the option byte");
    add_target_options(*solve, o->target,
                       "the target output frequency, as typed into \"Out Freq (MHz)\": in MHz, or with its unit "
                       "(4321MHz, 4.321GHz, 4321000000Hz)");
    add_setting_options(*solve, o->settings, false);
    add_round_option(*solve, o->round);
    add_loop_bandwidth_option(*solve, o->loop_bw);
    return {solve, [o](Output& output) { run_solve(*o, output); }};
}
