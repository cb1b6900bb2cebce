// zrctl sweep: a band or a list of frequencies, each point solved as solve
// solves it and written to the board in one burst on an absolute schedule of
// one dwell a point, with a line for each point as it is written.
#include "zrctl/commands/commands.h"

#include "zrctl/board_open.h"
#include "zrctl/failure.h"
#include "zrctl/numbers.h"
#include "zrctl/panel_resource.h"
#include "zrctl/report.h"
#include "zrctl/settings.h"
#include "zrctl/stop_signals.h"
#include "zrctl/sweep_wait.h"
#include "zrctl/target_solve.h"

#include "d2xx/statuses.h"
#include "wire/sweep_bursts.h"
#include "wire/sweep_csv.h"
#include "wire/sweep_run.h"
#include "model/sweep_plan.h"
#include "resource/New_Panel.h"
#include "ui_files/file_io.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <sstream>

namespace {

struct SweepOptions {
    SettingOptions settings;
    DeviceChoice device;
    TextOption start, stop, step, list, dwell, repeat, csv;
    bool continuous = false;
    bool dry_run = false;
    std::string round = kRoundDown;
};

const char* option_of(SweepInput input)
{
    switch (input) {
    case SweepInput::Start: return "--start";
    case SweepInput::Stop: return "--stop";
    case SweepInput::Step: return "--step";
    case SweepInput::List: return "--list";
    }
    return "";
}

std::vector<double> frequencies_of(const SweepOptions& o)
{
    SweepFrequencies f;
    if (o.list.given()) {
        std::string text, why;
        if (read_regular_file(o.list.text, kListFileLimit, &text, &why) != ReadOutcome::Ok)
            throw Failure(ExitStatus::InvalidInput, "--list " + o.list.text + ": cannot read it: " + why);
        f = list_frequencies(text, out_freq_field());
    } else if (o.start.given() && o.stop.given() && o.step.given()) {
        f = band_frequencies(o.start.text, o.stop.text, o.step.text, out_freq_field());
    } else {
        throw Failure(ExitStatus::Usage, "give --start, --stop and --step, or --list (see zrctl sweep --help)");
    }
    if (const std::optional<SweepRefusal>& r = f.refusal) {
        std::string where = option_of(r->input);
        if (r->input == SweepInput::List)
            where += " " + o.list.text + (r->line > 0 ? ", line " + std::to_string(r->line) + ": " + r->text : "");
        else
            where += " " + (r->text.empty() ? std::string("\"\"") : r->text);
        throw Failure(ExitStatus::InvalidInput, where + ": " + frequency_refusal(r->why));
    }
    return f.mhz;
}

double dwell_of(const SweepOptions& o)
{
    if (!o.dwell.given())
        return 0.0;
    const double ms = number_of("--dwell", o.dwell.text);
    if (ms < 0.0 || ms > kMaxDwellMs)
        throw Failure(ExitStatus::InvalidInput,
                      "--dwell " + o.dwell.text + ": outside 0 to " + number_text(kMaxDwellMs) + " ms");
    return ms;
}

// How many times the table is written; 0 until stopped.
uint64_t passes_of(const SweepOptions& o)
{
    if (o.continuous)
        return 0;
    if (!o.repeat.given())
        return 1;
    const uint32_t n = whole_number_of("--repeat", o.repeat.text);
    if (n == 0)
        throw Failure(ExitStatus::InvalidInput,
                      "--repeat " + o.repeat.text + ": at least 1 pass (--continuous repeats until stopped)");
    return n;
}

std::string ms_text(SweepClock::duration d)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", std::chrono::duration<double, std::milli>(d).count());
    return text;
}

// "point 3/21  4002 MHz -> 4002.0000000 MHz  +0.000 Hz  R 1 M 7 A 0 K 40960  main 0x000E00 aux 0x050001"
std::string point_line(const SweepPlan& plan, std::size_t i)
{
    const SweepPoint& p = plan.points[i];
    const SweepWords w = sweep_words(plan, p);
    char text[160];
    std::snprintf(text, sizeof text, "  %+.3f Hz  R %u M %u A %u K %u  main ", p.error_hz, p.R, p.M, p.A, p.K);
    std::string line = "point " + std::to_string(i + 1) + "/" + std::to_string(plan.points.size()) + "  " +
                       number_text(p.requested_mhz) + " MHz -> " + field_text(PANEL_PLL_FREQ, p.achieved_mhz) +
                       " MHz" + text + hex_text(w.main, 6);
    if (w.aux != 0)
        line += " aux " + hex_text(w.aux, 6);
    return line;
}

std::string written_line(const SweepPlan& plan, const SweepRun& run, const SweepWrite& w)
{
    std::string line = point_line(plan, w.point);
    if (run.passes() != 1)
        line += "  pass " + std::to_string(w.pass + 1);
    line += "  " + std::to_string(w.bytes) + " bytes" + (w.auxiliary_only ? " (auxiliary word only)" : "");
    return line + "  at " + ms_text(w.written_at) + " ms";
}

// Where the chip was left: "4020.0000000 MHz (point 21: R 1 M 7 A 4 K 0)".
std::string left_at(const SweepPlan& plan, std::size_t i)
{
    const SweepPoint& p = plan.points[i];
    return field_text(PANEL_PLL_FREQ, p.achieved_mhz) + " MHz (point " + std::to_string(i + 1) + ": R " +
           std::to_string(p.R) + " M " + std::to_string(p.M) + " A " + std::to_string(p.A) + " K " +
           std::to_string(p.K) + ")";
}

// What the chip holds once the run is over: "the chip was left at ...", or what a
// failed write left it with.
std::string chip_after(const SweepRun& run)
{
    const SweepPlan& plan = run.plan();
    if (const std::optional<std::size_t> last = run.last_point())
        return "the chip was left at " + left_at(plan, *last);
    const SweepFailure* f = run.failure() ? &*run.failure() : nullptr;
    if (f && f->latched.latch == ShortWriteLatch::Some) {
        const SweepPoint& p = plan.points[f->point];
        std::string text = "the chip holds R " + std::to_string(p.R) + " M " + std::to_string(p.M) + " A " +
                           std::to_string(p.A) + " of point " + std::to_string(f->point + 1);
        if (const std::optional<RegisterSet> mix = mixed_settings_after(plan, *f))
            return text + " with K " + std::to_string(mix->K_reg) + " of point " +
                   std::to_string(*f->kept_auxiliary_of + 1) + ", " + field_text(PANEL_PLL_FREQ, mix->new_pll_freq) +
                   " MHz";
        return text + " with a K the sweep did not send";
    }
    if (f && f->latched.latch == ShortWriteLatch::Unknown) {
        if (const std::optional<std::size_t> whole = run.last_whole_point())
            return "the chip holds " + left_at(plan, *whole) + " or some of point " + std::to_string(f->point + 1) +
                   ", which cannot be known";
        return "what the chip holds cannot be known";
    }
    return "no point was sent";
}

const char* latch_name(ShortWriteLatch latch)
{
    switch (latch) {
    case ShortWriteLatch::Nothing: return "none";
    case ShortWriteLatch::Everything: return "all";
    case ShortWriteLatch::Some: return "some";
    case ShortWriteLatch::Unknown: return "unknown";
    }
    return "unknown";
}

Json points_json(const SweepPlan& plan, const SweepRun* run)
{
    Json points = Json::array();
    for (std::size_t i = 0; i < plan.points.size(); ++i) {
        const SweepPoint& p = plan.points[i];
        const SweepWords w = sweep_words(plan, p);
        Json j;
        j["point"] = i + 1;
        j["requested_mhz"] = p.requested_mhz;
        j["achieved_mhz"] = p.achieved_mhz;
        j["error_hz"] = p.error_hz;
        j["registers"] = {{"R", p.R}, {"M", p.M}, {"A", p.A}, {"K", p.K}};
        j["main_word"] = w.main;
        j["auxiliary_word"] = w.aux != 0 ? Json(w.aux) : Json(nullptr);
        const PointRecord* r = run ? &run->records()[i] : nullptr;
        j["writes"] = r ? r->writes : 0;
        j["last_written_ms"] = r && r->writes > 0
                                   ? Json(std::chrono::duration<double, std::milli>(r->last_written).count())
                                   : Json(nullptr);
        points.push_back(std::move(j));
    }
    return points;
}

Json sweep_json(const SweepOptions& o, const SweepRun& run, bool ran)
{
    const SweepPlan& plan = run.plan();
    Json j;
    j["command"] = "sweep";
    j["settings"] = settings_json(plan.settings);
    j["device"] = o.dry_run ? Json(nullptr) : device_json(o.device);
    j["dry_run"] = o.dry_run;
    j["dwell_ms"] = std::chrono::duration<double, std::milli>(run.dwell()).count();
    j["passes"] = run.passes() != 0 ? Json(run.passes()) : Json(nullptr);
    j["option_byte"] = sweep_option_byte(plan);
    j["points"] = points_json(plan, ran ? &run : nullptr);
    j["writes"] = run.writes();
    j["bytes"] = run.bytes();
    j["latest_ms"] = ran ? Json(std::chrono::duration<double, std::milli>(run.latest()).count()) : Json(nullptr);
    j["stopped"] = run.stopped();
    j["failure"] = run.failure() ? Json(failure_text(plan, *run.failure())) : Json(nullptr);
    // What the chip latched of the failed write's burst: "none", "all", "some" or "unknown".
    j["failure_latched"] = run.failure() ? Json(latch_name(run.failure()->latched.latch)) : Json(nullptr);
    j["chip"] = chip_after(run);
    const std::optional<std::size_t> last = run.last_point();
    j["last_point"] = last ? Json(*last + 1) : Json(nullptr);
    j["left_at_mhz"] = last ? Json(plan.points[*last].achieved_mhz) : Json(nullptr);
    return j;
}

// The table, as it stands, into the CSV file.
void save_csv(const SweepOptions& o, const SweepPlan& plan, const SweepRun* run)
{
    if (!o.csv.given())
        return;
    std::ostringstream text;
    write_sweep_csv(text, plan, run);
    std::string why;
    if (!replace_file(o.csv.text, text.str(), &why))
        throw Failure(ExitStatus::InvalidInput, "--csv " + o.csv.text + ": cannot write it: " + why);
}

std::string summary(const SweepRun& run, const std::string& device)
{
    const std::optional<std::size_t> last = run.last_point();
    std::string line = run.stopped() ? "stopped: " : "";
    if (!last)
        return line + "no point was sent";
    line += "sent " + std::to_string(run.writes()) + " points (" + std::to_string(run.bytes()) + " bytes) to FTDI " +
            device + ", at most " + ms_text(run.latest()) + " ms late";
    return line + "; " + chip_after(run);
}

void run_sweep(const SweepOptions& o, Output& output)
{
    // Everything is checked before the board is opened.
    device_index(o.device);
    const std::vector<double> frequencies = frequencies_of(o);
    const double dwell_ms = dwell_of(o);
    const uint64_t passes = passes_of(o);
    const RegisterSet settings = register_set_of(o.settings);
    // A point the settings cannot reach is refused before anything is sent.
    if (const std::optional<std::string> refusal = first_unreachable_point(settings, frequencies))
        throw Failure(ExitStatus::InvalidInput, *refusal);
    auto plan = std::make_shared<SweepPlan>(plan_sweep(settings, frequencies, rounding_of(o.round)));
    SweepRun run(plan, dwell_ms, passes);
    save_csv(o, *plan, nullptr);

    std::ostream& out = output.out;
    if (!output.json) {
        out << settings_line(plan->settings) << '\n'
            << plan->points.size() << " points, dwell " << number_text(dwell_ms) << " ms, "
            << (passes == 0   ? std::string("repeated until stopped")
                : passes == 1 ? std::string("1 pass")
                              : std::to_string(passes) + " passes")
            << "; each point solved as solve solves it"
            << (rounding_of(o.round) == Rounding::Nearest ? " to the nearest channel" : "")
            << ", every burst with ENHBAR 1 (option byte "
            << hex_text(sweep_option_byte(*plan), 2) << ")\n";
    }
    if (o.dry_run) {
        if (output.json) {
            out << json_text(sweep_json(o, run, false)) << '\n';
            return;
        }
        for (std::size_t i = 0; i < plan->points.size(); ++i)
            out << point_line(*plan, i) << '\n';
        out << "dry run: nothing sent\n";
        return;
    }

    const std::string device = device_name(o.device);
    {
        const OpenBoard board(o.device);
        const SweepWriter write = board.writer();
        const StopSignals signals;
        run.start(SweepClock::now());
        while (!run.finished()) {
            if (!wait_until(run.next_due())) {
                run.stop();
                break;
            }
            const SweepWrite w = run.write_next(write);
            if (w.whole && !output.json && !(out << written_line(*plan, run, w) << std::endl))
                run.stop();  // nobody reads the lines any more
        }
    }
    // The run's result is printed even when its table cannot be saved.
    std::optional<Failure> csv_failure;
    try {
        save_csv(o, *plan, &run);
    } catch (const Failure& f) {
        csv_failure = f;
    }
    if (output.json)
        out << json_text(sweep_json(o, run, true)) << '\n';
    if (run.failure()) {
        const std::string after = chip_after(run);
        throw Failure(ExitStatus::WriteFailed,
                      "the sweep to FTDI " + device + " stopped at " + failure_text(*plan, *run.failure()) + "; " +
                          (run.writes() > 0 ? std::to_string(run.writes()) + " points were sent whole, " + after
                                            : after) +
                          (csv_failure ? std::string("; ") + csv_failure->what() : std::string()),
                      output.json);
    }
    if (!output.json)
        out << summary(run, device) << '\n';
    if (csv_failure)
        throw Failure(csv_failure->status(), csv_failure->what(), output.json);
}

}  // namespace

Command add_sweep_command(CLI::App& zrctl)
{
    auto o = std::make_shared<SweepOptions>();
    CLI::App* sweep = zrctl.add_subcommand(
        "sweep", "Sweeps a band (--start, --stop, --step) or hops through a list of frequencies (--list), each point "
                 "solved from the same settings as solve solves it and written to the board in one burst, one every "
                 "--dwell on an absolute schedule; prints a line for each point as it is written. Every burst "
                 "programs the counters as \"Program Device\" with ENH at \"Disable (High)\" does (ENHBAR 1); for "
                 "ZR3500 a point whose main word is unchanged sends only its auxiliary word. With --json, one JSON "
                 "document of every point at the end instead. SIGINT, SIGTERM, SIGHUP, SIGQUIT or a closed output ends the "
                 "sweep after the point being written");
    const ControlDef& field = panel_control(PANEL_PLL_FREQ);
    const std::string range = number_text(field.minimum) + " to " + number_text(field.maximum) +
                              " MHz; in MHz, or with its unit (4300MHz, 4.3GHz)";
    o->start.option = sweep->add_option("--start", o->start.text, "the band's first frequency, " + range)
                          ->type_name("FREQ");
    o->stop.option = sweep->add_option("--stop", o->stop.text, "the band's last frequency, " + range)
                         ->type_name("FREQ");
    o->step.option =
        sweep->add_option("--step", o->step.text, "from one point to the next, negative to sweep down; in MHz, or with its unit (250kHz)")
            ->type_name("FREQ");
    o->start.option->needs(o->stop.option)->needs(o->step.option);
    o->stop.option->needs(o->start.option)->needs(o->step.option);
    o->step.option->needs(o->start.option)->needs(o->stop.option);
    o->list.option = sweep->add_option("--list", o->list.text,
                                       "the frequencies, in MHz or with their unit, one a line or the first column of a CSV file; blank "
                                       "lines, lines that begin with # and a header line are passed over")
                         ->type_name("FILE")
                         ->excludes(o->start.option)
                         ->excludes(o->stop.option)
                         ->excludes(o->step.option);
    o->dwell.option = sweep->add_option("--dwell", o->dwell.text,
                                        "milliseconds from one point to the next (default 0: as fast as the board "
                                        "takes them)")
                          ->type_name("MS");
    o->repeat.option =
        sweep->add_option("--repeat", o->repeat.text, "how many times the points are written (default 1)")
            ->type_name("N");
    sweep->add_flag("--continuous", o->continuous, "write the points again and again until SIGINT or SIGTERM")
        ->excludes(o->repeat.option);
    o->csv.option = sweep->add_option("--csv", o->csv.text,
                                      "write the table of points to this CSV file, with how often and when each "
                                      "point was last written (milliseconds from the start, and UTC)")
                        ->type_name("FILE");
    add_setting_options(*sweep, o->settings, false);
    add_round_option(*sweep, o->round);
    add_device_options(*sweep, o->device);
    sweep->add_flag("--dry-run", o->dry_run, "open nothing; print the table of points");
    return {sweep, [o](Output& output) { run_sweep(*o, output); }, true};
}
