// zrctl calc: the frequencies of given registers after the range rules, as the
// panel recomputes them, with its formula texts.
#include "zrctl/commands/commands.h"

#include "zrctl/report.h"
#include "zrctl/settings.h"
#include "zrctl/spur_report.h"
#include "zrctl/target_solve.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>

namespace {

struct CalcOptions {
    SettingOptions settings;
    TargetOption target;
    TextOption loop_bw;
};

void run_calc(const CalcOptions& c, Output& output)
{
    std::ostream& out = output.out;
    const SettingOptions& o = c.settings;
    const std::optional<double> loop_bw_hz = loop_bandwidth_hz(c.loop_bw);
    RegisterSet r = register_set_of(o);
    uint32_t M = r.M_reg, A = r.A_reg;
    if (c.target.given()) {
        const SolvedRegisters solved = solve_for_target(r, typed_target(c.target.name(), c.target.text()));
        M = solved.M;
        A = solved.A;
    }
    recompute(r);
    const SpurOffsets spurs = spur_offsets(r);
    if (output.json) {
        Json j;
        j["command"] = "calc";
        j[json_field::kSettings] = settings_json(r);
        j["given"] = {{"M", M}, {"A", A}};
        j["note"] = nullptr;  // a target out of range is refused; scripts may still read the key
        j["changed_by_rules"] = rule_changes_json(M, A, r);
        j.update(results_json(r));
        j["spurs"] = spurs_json(spurs, loop_bw_hz);
        out << json_text(j) << '\n';
        return;
    }
    out << settings_line(r) << '\n';
    print_registers(out, r);
    out << rule_changes_line(M, A, r) << '\n';
    print_spurs(out, spurs, loop_bw_hz);
    print_texts(out, r);
}

}  // namespace

Command add_calc_command(CLI::App& zrctl)
{
    auto o = std::make_shared<CalcOptions>();
    CLI::App* calc = zrctl.add_subcommand(
        "calc", "The frequencies of the registers --m, --a and --k after the range rules, as the panel recomputes "
                "them: R, M, A, K, Fc, N, Fin, Fp with the symbolic and the worked formula texts; or of the "
                "registers solved for a target first, as solve does");
    add_setting_options(*calc, o->settings, true);
    add_target_options(*calc, o->target,
                       "solve the registers for this target first, as solve does, instead of --m, --a and --k: "
                       "in MHz, or with its unit (4321MHz, 4.321GHz)",
                       &o->settings);
    add_loop_bandwidth_option(*calc, o->loop_bw);
    return {calc, [o](Output& output) { run_calc(*o, output); }};
}
