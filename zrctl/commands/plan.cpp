// zrctl plan FREQ: every R, prescaler and modulator order that reaches a target
// within a tolerance, ranked by the smaller error and then by the
// integer-boundary spur farther from the carrier, with the panel's own choice
// marked; plan --list plans a list of frequencies for a sweep.
#include "zrctl/commands/commands.h"

#include "zrctl/failure.h"
#include "zrctl/numbers.h"
#include "zrctl/panel_resource.h"
#include "zrctl/report.h"
#include "zrctl/settings.h"
#include "zrctl/spur_report.h"
#include "zrctl/target_solve.h"

#include "wire/serial_words.h"
#include "model/number_text.h"
#include "model/planner.h"
#include "model/prescaler_setting.h"
#include "model/solve_outcome.h"
#include "model/sweep_plan.h"
#include "resource/New_Panel.h"
#include "resource/register_controls.h"
#include "resource/setup_file.h"
#include "ui_files/file_io.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr double kDefaultToleranceHz = 1000.0;
constexpr std::size_t kDefaultTop = 20;

struct PlanOptions {
    std::string target;
    SettingOptions settings;
    TextOption tolerance, loop_bw, r_range, list, setups, sweep_list, top;
    std::vector<std::string> prescalers, mash;
};

constexpr PrescalerSetting kPrescalers[] = {PrescalerSetting::Modulus10_11, PrescalerSetting::Modulus5_6,
                                            PrescalerSetting::Bypassed};

std::string prescaler_word(PrescalerSetting p)
{
    RegisterSet r;
    set_prescaler(r, p);
    return words_of(r).prescaler;
}

std::string mash_word(int MASH)
{
    RegisterSet r;
    r.MASH = MASH;
    return words_of(r).mash;
}

// "10/11,5/6" and repeated options alike.
std::vector<std::string> listed(const std::vector<std::string>& given)
{
    std::vector<std::string> words;
    for (const std::string& g : given) {
        std::size_t start = 0;
        while (start <= g.size()) {
            const std::size_t comma = std::min(g.find(',', start), g.size());
            if (comma > start)
                words.push_back(g.substr(start, comma - start));
            start = comma + 1;
        }
    }
    return words;
}

std::vector<PrescalerSetting> prescalers_of(const PlanOptions& o)
{
    if (o.prescalers.empty())
        return {std::begin(kPrescalers), std::end(kPrescalers)};
    std::vector<PrescalerSetting> chosen;
    for (const std::string& w : listed(o.prescalers)) {
        const auto p = std::find_if(std::begin(kPrescalers), std::end(kPrescalers),
                                    [&](PrescalerSetting s) { return same_letters(prescaler_word(s), w); });
        if (p == std::end(kPrescalers))
            throw Failure(ExitStatus::InvalidInput, "--prescaler " + w + ": is none of " +
                                                        prescaler_word(kPrescalers[0]) + ", " +
                                                        prescaler_word(kPrescalers[1]) + ", " +
                                                        prescaler_word(kPrescalers[2]));
        if (std::find(chosen.begin(), chosen.end(), *p) == chosen.end())
            chosen.push_back(*p);
    }
    return chosen;
}

std::vector<int> mash_of(const PlanOptions& o)
{
    if (o.mash.empty())
        return {1, 0};
    std::vector<int> chosen;
    for (const std::string& w : listed(o.mash)) {
        int MASH = -1;
        for (int m : {1, 0})
            if (same_letters(mash_word(m), w))
                MASH = m;
        if (MASH < 0)
            throw Failure(ExitStatus::InvalidInput,
                          "--mash " + w + ": is neither " + mash_word(1) + " nor " + mash_word(0));
        if (std::find(chosen.begin(), chosen.end(), MASH) == chosen.end())
            chosen.push_back(MASH);
    }
    return chosen;
}

// "3" or "0..63".
void r_range_of(const PlanOptions& o, PlanRequest& request)
{
    if (!o.r_range.given())
        return;
    const std::string& text = o.r_range.text;
    const std::size_t dots = text.find("..");
    const uint32_t low = whole_number_of("--r", dots == std::string::npos ? text : text.substr(0, dots));
    const uint32_t high = dots == std::string::npos ? low : whole_number_of("--r", text.substr(dots + 2));
    const ControlDef& field = panel_control(PANEL_R_REG);
    if (low > high || high > field.maximum)
        throw Failure(ExitStatus::InvalidInput, "--r " + text + ": give R or MIN..MAX within " +
                                                    number_text(field.minimum) + " to " + number_text(field.maximum));
    request.r_min = low;
    request.r_max = high;
}

double tolerance_of(const PlanOptions& o)
{
    if (!o.tolerance.given())
        return kDefaultToleranceHz;
    const double hz = number_of("--tolerance", o.tolerance.text);
    if (hz < 0.0)
        throw Failure(ExitStatus::InvalidInput, "--tolerance " + o.tolerance.text + ": at least 0 Hz");
    return hz;
}

// The settings the panel would hold: those given, with the one R, prescaler or
// MASH order when only one is allowed.
RegisterSet panel_settings(const PlanOptions& o, const PlanRequest& request)
{
    RegisterSet r = register_set_of(o.settings);
    if (request.r_min == request.r_max)
        r.R_reg = request.r_min;
    if (request.prescalers.size() == 1)
        set_prescaler(r, request.prescalers.front());
    if (request.mash.size() == 1)
        r.MASH = request.mash.front();
    return r;
}

PlanRequest request_of(const PlanOptions& o)
{
    PlanRequest request;
    request.tolerance_hz = tolerance_of(o);
    r_range_of(o, request);
    request.prescalers = prescalers_of(o);
    request.mash = mash_of(o);
    return request;
}

// "R 1, prescaler 10/11, MASH 1-1" (no MASH without a fractional term).
std::string setting_text(const RegisterSet& r)
{
    const SettingWords w = words_of(r);
    std::string text = "R " + std::to_string(r.R_reg) + ", prescaler " + w.prescaler;
    if (has_fractional_term(r))
        text += ", MASH " + w.mash;
    return text;
}

Json candidate_json(const PlanCandidate& c, std::optional<std::size_t> rank, std::optional<double> loop_bw_hz)
{
    RegisterSet pressed = c.registers;
    pressed.ENHBAR = 1;
    const SettingsWords words = serial_words_of(pressed);
    const SettingWords w = words_of(c.registers);
    Json j;
    j["rank"] = rank ? Json(*rank) : Json(nullptr);
    j["prescaler"] = w.prescaler;
    j["mash"] = w.mash;
    j[json_field::kRegisters] = registers_json(c.registers);
    j["fc_mhz"] = c.registers.fc;
    j["n"] = c.registers.N_val;
    j[json_field::kFinMhz] = c.registers.new_pll_freq;
    j["error_hz"] = c.error_hz;
    j[json_field::kMainWord] = words.main;
    j[json_field::kAuxiliaryWord] = words.auxiliary != 0 ? Json(words.auxiliary) : Json(nullptr);
    j[json_field::kOptionByte] = words.option_byte;
    j["spurs"] = spurs_json(c.spurs, loop_bw_hz);
    j["by_truncation"] = c.by_truncation;
    j["by_nearest"] = c.by_nearest;
    j["panel_choice"] = c.panel_choice;
    return j;
}

std::optional<std::size_t> panel_rank(const Plan& plan)
{
    for (std::size_t i = 0; i < plan.candidates.size(); ++i)
        if (plan.candidates[i].panel_choice)
            return i + 1;
    return std::nullopt;
}

std::string rule_words(const PlanCandidate& c)
{
    if (c.by_truncation && c.by_nearest)
        return "down, nearest";
    return c.by_truncation ? "down" : c.by_nearest ? "nearest" : "";
}

std::string candidate_row(std::size_t rank, const PlanCandidate& c, std::optional<double> loop_bw_hz)
{
    const SettingWords w = words_of(c.registers);
    const RegisterSet& r = c.registers;
    std::string boundary = c.spurs.integer_boundary_hz ? offset_text(*c.spurs.integer_boundary_hz) : "none";
    if (loop_bw_hz && spurs_inside_loop(c.spurs, *loop_bw_hz).any())
        boundary += "; a spur inside the loop bandwidth";
    char row[256];
    std::snprintf(row, sizeof row, "%4zu  %2u  %-6s  %-5s  %3u  %2u  %6u  %s  %+13.3f  %-14s  %s", rank, r.R_reg,
                  w.prescaler.c_str(), has_fractional_term(r) ? w.mash.c_str() : "-", r.M_reg, r.A_reg, r.K_reg,
                  field_text(PANEL_PLL_FREQ, r.new_pll_freq).c_str(), c.error_hz, rule_words(c).c_str(),
                  boundary.c_str());
    std::string line = row;
    if (c.panel_choice)
        line += "  <- the panel's choice";
    return line;
}

void print_plan(std::ostream& out, const Plan& plan, const RegisterSet& settings, const PlanRequest& request,
                std::optional<double> loop_bw_hz, std::size_t top)
{
    out << settings_line(settings) << '\n'
        << "target     " << frequency_to_the_hz(request.target_mhz) << " MHz within " << number_text(request.tolerance_hz)
        << " Hz, R " << request.r_min << " to " << request.r_max << ": " << plan.candidates.size()
        << (plan.candidates.size() == 1 ? " setting\n" : " settings\n");
    if (!plan.candidates.empty())
        out << "rank   R  presc.  MASH     M   A       K  Fin (MHz)         error (Hz)  rule            integer "
               "boundary spur\n";
    for (std::size_t i = 0; i < plan.candidates.size() && i < top; ++i)
        out << candidate_row(i + 1, plan.candidates[i], loop_bw_hz) << '\n';
    if (plan.candidates.size() > top)
        out << "(" << plan.candidates.size() - top << " more: --top shows more, --json shows every one)\n";
    const PlanCandidate& p = plan.panel;
    const std::optional<std::size_t> rank = panel_rank(plan);
    out << "the panel  " << setting_text(p.registers) << " by truncation: "
        << field_text(PANEL_PLL_FREQ, p.registers.new_pll_freq) << " MHz, " << offset_text(std::abs(p.error_hz))
        << (p.error_hz < 0 ? " below" : p.error_hz > 0 ? " above" : " from") << " the target; ";
    if (rank)
        out << "rank " << *rank << '\n';
    else
        out << "not within the tolerance\n";
    print_spurs(out, rank ? plan.candidates[*rank - 1].spurs : p.spurs, loop_bw_hz);
}

void run_one(const PlanOptions& o, Output& output)
{
    PlanRequest request = request_of(o);
    request.target_mhz = typed_target("FREQ", o.target);
    const std::optional<double> loop_bw_hz = loop_bandwidth_hz(o.loop_bw);
    const RegisterSet settings = panel_settings(o, request);
    const Plan plan = plan_target(settings, request);
    if (output.json) {
        Json j;
        j["command"] = "plan";
        j[json_field::kSettings] = settings_json(settings);
        j["target_mhz"] = request.target_mhz;
        j["tolerance_hz"] = request.tolerance_hz;
        j["r"] = {{"min", request.r_min}, {"max", request.r_max}};
        Json candidates = Json::array();
        for (std::size_t i = 0; i < plan.candidates.size(); ++i)
            candidates.push_back(candidate_json(plan.candidates[i], i + 1, loop_bw_hz));
        j["candidates"] = candidates;
        j["panel"] = candidate_json(plan.panel, panel_rank(plan), loop_bw_hz);
        output.out << json_text(j) << '\n';
        return;
    }
    std::size_t top = kDefaultTop;
    if (o.top.given())
        top = whole_number_of("--top", o.top.text);
    print_plan(output.out, plan, settings, request, loop_bw_hz, top);
}

// The one R, prescaler and MASH order that a sweep of the list solves to the
// nearest channel with every point within the tolerance, the largest error
// smallest, then the nearest integer-boundary spur farthest.
struct SweepChoice {
    RegisterSet settings;
    SweepPlan plan;
    double worst_error_hz = 0.0;
};

double nearest_boundary_hz(const SweepPlan& plan)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (const SweepPoint& p : plan.points)
        nearest = std::min(nearest, spur_offsets(settings_at(plan, p)).integer_boundary_hz.value_or(nearest));
    return nearest;
}

std::optional<SweepChoice> sweep_choice(const RegisterSet& settings, const PlanRequest& request,
                                        const std::vector<double>& frequencies)
{
    std::optional<SweepChoice> best;
    double best_boundary = 0.0;
    for (uint32_t R = request.r_min; R <= request.r_max; ++R) {
        for (PrescalerSetting p : request.prescalers) {
            for (int MASH : request.mash) {
                RegisterSet s = settings;
                s.R_reg = R;
                set_prescaler(s, p);
                s.MASH = MASH;
                SweepChoice c{s, plan_sweep(s, frequencies, Rounding::Nearest), 0.0};
                for (const SweepPoint& point : c.plan.points)
                    c.worst_error_hz = std::max(c.worst_error_hz, std::abs(point.error_hz));
                if (c.worst_error_hz > request.tolerance_hz)
                    continue;
                const double boundary = nearest_boundary_hz(c.plan);
                if (!best || c.worst_error_hz < best->worst_error_hz ||
                    (c.worst_error_hz == best->worst_error_hz && boundary > best_boundary)) {
                    best = std::move(c);
                    best_boundary = boundary;
                }
            }
        }
    }
    return best;
}

// The options that give zrctl sweep these settings.
std::string sweep_options(const RegisterSet& s)
{
    const SettingWords w = words_of(s);
    std::string text = "--part " + w.part + " --ref " + number_text(s.ref_freq) + " --r " + std::to_string(s.R_reg) +
                       " --prescaler " + w.prescaler;
    if (s.N_flag == ZR3500)
        text += " --mash " + w.mash + " --lnm " + w.lnm + (s.RAND_EN != 0 ? " --dither" : " --no-dither");
    return text + " --round " + kRoundNearest;
}

std::string sweep_list_text(const SweepChoice& c, const std::string& path)
{
    std::string text = "# Planned by zrctl plan: every point within " + offset_text(c.worst_error_hz) +
                       " of its frequency with " + setting_text(c.settings) + ". Sweep it with\n#   zrctl sweep --list " +
                       path + " " + sweep_options(c.settings) + "\nfrequency_mhz,fin_mhz,error_hz,R,M,A,K,integer_boundary_hz\n";
    for (const SweepPoint& p : c.plan.points) {
        const SpurOffsets s = spur_offsets(settings_at(c.plan, p));
        char line[200];
        std::snprintf(line, sizeof line, "%s,%.7f,%.3f,%u,%u,%u,%u,", number_text(p.requested_mhz).c_str(),
                      p.achieved_mhz, p.error_hz, p.R, p.M, p.A, p.K);
        text += line;
        if (s.integer_boundary_hz) {
            std::snprintf(line, sizeof line, "%.3f", *s.integer_boundary_hz);
            text += line;
        }
        text += '\n';
    }
    return text;
}

// A setup as "Save setup as..." writes one, with ENH at "Disable (High)" so that
// "Program Device" sends the counters.
std::string setup_text(const RegisterSet& solved)
{
    RegisterSet r = solved;
    r.ENHBAR = 1;
    std::vector<StateValue> values;
    for (const RegisterControl& c : kRegisterControls) {
        if (!c.setting)
            continue;
        StateValue v;
        v.control = &panel_control(c.control);
        v.number = c.frequency ? r.*c.frequency : c.count ? r.*c.count : r.*c.position;
        values.push_back(v);
    }
    return format_setup(r.N_flag, values);
}

void write_file(const char* option, const std::string& path, const std::string& text)
{
    std::string why;
    if (!replace_file(path, text, &why))
        throw Failure(ExitStatus::InvalidInput, std::string(option) + " " + path + ": cannot write it: " + why);
}

void run_list(const PlanOptions& o, Output& output)
{
    PlanRequest request = request_of(o);
    std::string text, why;
    if (read_regular_file(o.list.text, kListFileLimit, &text, &why) != ReadOutcome::Ok)
        throw Failure(ExitStatus::InvalidInput, "--list " + o.list.text + ": cannot read it: " + why);
    const SweepFrequencies f = list_frequencies(text, out_freq_field());
    if (const std::optional<SweepRefusal>& r = f.refusal)
        throw Failure(ExitStatus::InvalidInput, "--list " + o.list.text +
                                                    (r->line > 0 ? ", line " + std::to_string(r->line) + ": " + r->text
                                                                 : std::string()) +
                                                    ": " + r->why);
    const RegisterSet settings = panel_settings(o, request);

    // The best setting of each point, each on its own.
    std::vector<PlanCandidate> best;
    for (std::size_t i = 0; i < f.mhz.size(); ++i) {
        request.target_mhz = f.mhz[i];
        const Plan plan = plan_target(settings, request);
        if (plan.candidates.empty())
            throw Failure(ExitStatus::InvalidInput, "point " + std::to_string(i + 1) + ": no setting reaches " +
                                                        number_text(f.mhz[i]) + " MHz within " +
                                                        number_text(request.tolerance_hz) + " Hz");
        best.push_back(plan.candidates.front());
    }
    std::optional<SweepChoice> sweep;
    if (o.sweep_list.given() || !o.setups.given())
        sweep = sweep_choice(settings, request, f.mhz);
    if (o.sweep_list.given()) {
        if (!sweep)
            throw Failure(ExitStatus::InvalidInput,
                          "no one R, prescaler and MASH order reaches every point within " +
                              number_text(request.tolerance_hz) + " Hz; --setups writes a setup for each point");
        write_file("--sweep-list", o.sweep_list.text, sweep_list_text(*sweep, o.sweep_list.text));
    }
    std::vector<std::string> setup_files;
    if (o.setups.given()) {
        std::error_code error;
        std::filesystem::create_directories(o.setups.text, error);
        for (std::size_t i = 0; i < best.size(); ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%03zu_%sMHz.sts", i + 1, number_text(f.mhz[i]).c_str());
            const std::string path = (std::filesystem::path(o.setups.text) / name).string();
            write_file("--setups", path, setup_text(best[i].registers));
            setup_files.push_back(path);
        }
    }

    if (output.json) {
        Json j;
        j["command"] = "plan";
        j[json_field::kSettings] = settings_json(settings);
        j["tolerance_hz"] = request.tolerance_hz;
        Json points = Json::array();
        for (std::size_t i = 0; i < best.size(); ++i) {
            Json p = candidate_json(best[i], 1, std::nullopt);
            p["requested_mhz"] = f.mhz[i];
            p["setup"] = i < setup_files.size() ? Json(setup_files[i]) : Json(nullptr);
            points.push_back(p);
        }
        j["points"] = points;
        if (sweep) {
            const SettingWords w = words_of(sweep->settings);
            j["sweep"] = {{"R", sweep->settings.R_reg},  {"prescaler", w.prescaler},
                          {"mash", w.mash},              {"worst_error_hz", sweep->worst_error_hz},
                          {"options", sweep_options(sweep->settings)},
                          {"list", o.sweep_list.given() ? Json(o.sweep_list.text) : Json(nullptr)}};
        } else {
            j["sweep"] = nullptr;
        }
        output.out << json_text(j) << '\n';
        return;
    }
    std::ostream& out = output.out;
    out << settings_line(settings) << '\n';
    for (std::size_t i = 0; i < best.size(); ++i) {
        const RegisterSet& r = best[i].registers;
        char error[48];
        std::snprintf(error, sizeof error, "%+.3f Hz", best[i].error_hz);
        out << "point " << i + 1 << "/" << best.size() << "  " << number_text(f.mhz[i]) << " MHz -> "
            << field_text(PANEL_PLL_FREQ, r.new_pll_freq) << " MHz  " << error << "  " << setting_text(r) << "  M "
            << r.M_reg << " A " << r.A_reg << " K " << r.K_reg
            << (i < setup_files.size() ? "  setup " + setup_files[i] : std::string()) << '\n';
    }
    if (sweep)
        out << "one setting for the sweep: " << setting_text(sweep->settings) << ", every point within "
            << offset_text(sweep->worst_error_hz) << "; zrctl sweep "
            << (o.sweep_list.given() ? "--list " + o.sweep_list.text + " " : std::string())
            << sweep_options(sweep->settings) << '\n';
    else
        out << "no one R, prescaler and MASH order reaches every point within " << number_text(request.tolerance_hz)
            << " Hz\n";
}

}  // namespace

Command add_plan_command(CLI::App& zrctl)
{
    auto o = std::make_shared<PlanOptions>();
    CLI::App* plan = zrctl.add_subcommand(
        "plan", "Every R, prescaler and MASH order that reaches a target within a tolerance, each solved by "
                "truncation as the panel does and to the nearest channel, the range rules applied; ranked by the "
                "smaller error, then by the integer-boundary spur farther from the carrier; the setting the panel "
                "would choose is marked. With --list, plans a list of frequencies for a sweep");
    CLI::Option* target =
        plan->add_option("FREQ", o->target, "the target output frequency in MHz")->type_name("MHZ");
    add_setting_options(*plan, o->settings, false);
    // R, the prescaler and MASH are what the plan ranges over: they take ranges and lists here.
    for (TextOption* own : {&o->settings.r, &o->settings.prescaler, &o->settings.mash}) {
        plan->remove_option(own->option);
        own->option = nullptr;
    }
    o->tolerance.option = plan->add_option("--tolerance", o->tolerance.text,
                                           "how far Fin may lie from the target, in Hz (default 1000)")
                              ->type_name("HZ");
    add_loop_bandwidth_option(*plan, o->loop_bw);
    o->r_range.option =
        plan->add_option("--r", o->r_range.text, "the reference counters tried: R, or MIN..MAX (default 0..63)")
            ->type_name("MIN..MAX");
    plan->add_option("--prescaler", o->prescalers,
                     "the prescaler settings tried, of 10/11, 5/6 and bypass, comma-separated or repeated (default "
                     "all three)")
        ->type_name("LIST");
    plan->add_option("--mash", o->mash,
                     "the MASH orders tried for ZR3500, of 1-1 and 1-1-1 (default both)")
        ->type_name("LIST");
    o->top.option =
        plan->add_option("--top", o->top.text, "how many settings the text shows (default 20)")->type_name("N");
    o->list.option = plan->add_option("--list", o->list.text,
                                      "plan each frequency of this list (as sweep --list reads it) instead of FREQ")
                         ->type_name("FILE")
                         ->excludes(target);
    o->setups.option = plan->add_option("--setups", o->setups.text,
                                        "with --list: write the best setting of each point as a setup into this "
                                        "folder, as \"Open setup...\" opens it")
                           ->type_name("DIR")
                           ->needs(o->list.option);
    o->sweep_list.option = plan->add_option("--sweep-list", o->sweep_list.text,
                                            "with --list: write the list for zrctl sweep --round nearest with the "
                                            "one R, prescaler and MASH order that keep every point within the "
                                            "tolerance, the options to sweep it with in its first lines")
                               ->type_name("FILE")
                               ->needs(o->list.option);
    return {plan, [o](Output& output) {
                if (o->list.given())
                    run_list(*o, output);
                else if (!o->target.empty())
                    run_one(*o, output);
                else
                    throw Failure(ExitStatus::Usage, "give FREQ, or --list (see zrctl plan --help)");
            }};
}
