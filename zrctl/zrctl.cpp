#include "zrctl/zrctl.h"

#include "zrctl/command_line.h"
#include "zrctl/failure.h"
#include "zrctl/help_format.h"
#include "zrctl/report.h"
#include "zrctl/simulated_board_option.h"

#include "model/quoted_input.h"
#include "model/version.h"
#include "model/word_edits.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <optional>
#include <vector>

namespace {

constexpr const char* kName = "zrctl";

// One line, whatever the message holds.
std::string one_line(std::string message)
{
    std::replace(message.begin(), message.end(), '\n', ' ');
    return message;
}

// The one of the names nearest to a mistyped word, if one is near enough to be meant.
std::string nearest(const std::string& typed, const std::vector<std::string>& names)
{
    std::string best;
    // No name is this long; nor is the count of edits worth its memory.
    if (typed.size() > 64)
        return best;
    std::size_t best_edits = std::max<std::size_t>(2, typed.size() / 4) + 1;
    for (const std::string& name : names) {
        const std::size_t e = edits_between(typed, name, best_edits);
        if (e < best_edits) {
            best = name;
            best_edits = e;
        }
    }
    return best;
}

std::vector<std::string> long_names(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::Option* o : app.get_options())
        for (const std::string& n : o->get_lnames())
            names.push_back("--" + n);
    for (const CLI::Option* o : app.get_options())
        for (const std::string& n : o->get_fnames())
            if (std::find(names.begin(), names.end(), "--" + n) == names.end())
                names.push_back("--" + n);
    return names;
}

// The first word of the line that looks like an option and is none of the
// command's (or the tool's): "--prat is no option of zrctl solve; did you mean
// --part?". Empty when every one is known.
std::string unknown_option(int argc, const char* const argv[], const CLI::App& zrctl, const CLI::App* command)
{
    std::vector<std::string> known = long_names(zrctl);
    if (command != nullptr)
        for (const std::string& n : long_names(*command))
            known.push_back(n);
    known.push_back("--help");
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--")
            break;
        if (word.size() < 3 || word.compare(0, 2, "--") != 0)
            continue;
        const std::string name = word.substr(0, word.find('='));
        if (std::find(known.begin(), known.end(), name) != known.end())
            continue;
        std::string said = shown_input(name) + " is no option of " + kName + (command ? " " + command->get_name() : "");
        const std::string meant = nearest(name, known);
        return said + (meant.empty() ? "" : "; did you mean " + meant + "?");
    }
    return "";
}

int fail(ExitStatus status, const std::string& message, bool json, std::ostream& out, std::ostream& err)
{
    err << kName << ": " << one_line(message) << '\n';
    if (json) {
        Json j;
        j["error"] = one_line(message);
        j["exit_status"] = static_cast<int>(status);
        out << json_text(j) << '\n';
    }
    return static_cast<int>(status);
}

}  // namespace

ZrctlCommandLine::ZrctlCommandLine()
    : app("Registers, bursts and programming of the ZR3100 and ZR3500 synthesizers on their evaluation board, "
          "computed as the zr-eval panel computes them",
          kName)
{
    CLI::App& zrctl = app;
    zrctl.formatter(help_formatter());
    zrctl.set_version_flag("--version", std::string(kName) + " " + ZR_VERSION, "print the version and exit");
    zrctl.set_help_flag("-h,--help", "print this help and exit");
    zrctl.require_subcommand(1);
    commands = {
        add_solve_command(zrctl),   add_calc_command(zrctl),    add_burst_command(zrctl),
        add_decode_command(zrctl),  add_devices_command(zrctl), add_program_command(zrctl),
        add_check_state_command(zrctl), add_sweep_command(zrctl),   add_serve_command(zrctl),
        add_plan_command(zrctl),
    };
    const std::string simulated_help = std::string("put a simulated board behind the FTDI calls as device 0, "
                                                   "serial number ") +
                                       kSimulatedSerialNumber + ", instead of the boards plugged in";
    zrctl.add_flag("--simulated-board", simulated_board, simulated_help + " (before or after the command)");
    for (const Command& c : commands) {
        c.app->group("Commands");
        c.app->add_flag("--json", json, "print one JSON document and nothing else");
        if (c.opens_board)
            c.app->add_flag("--simulated-board", simulated_board, simulated_help);
    }
    // Set after the commands, which would take it over.
    zrctl.footer("Each command has its own --help.\n\nExit status: 0 done; 1 usage; 2 invalid input (out of "
                 "range, unreadable state); 3 no board; 4 open failed; 5 write failed or short; 6 serve "
                 "could not listen.");
}

int run_zrctl(int argc, const char* const argv[], std::istream& in, std::ostream& out, std::ostream& err)
{
    // Known before the line is parsed, so that a usage error is reported as JSON too.
    const bool json_asked = std::any_of(argv + std::min(argc, 1), argv + argc,
                                        [](const char* a) { return std::strcmp(a, "--json") == 0; });
    try {
        ZrctlCommandLine line;
        CLI::App& zrctl = line.app;
        const std::vector<Command>& commands = line.commands;

        // A first word that is neither an option nor a command: say so, rather
        // than that a command is missing.
        const auto names_it = [&](const Command& c) { return argc > 1 && c.app->get_name() == argv[1]; };
        if (argc > 1 && argv[1][0] != '-' && std::none_of(commands.begin(), commands.end(), names_it)) {
            std::string known;
            std::vector<std::string> names;
            for (const Command& c : commands) {
                known += (known.empty() ? "" : ", ") + c.app->get_name();
                names.push_back(c.app->get_name());
            }
            const std::string meant = nearest(argv[1], names);
            return fail(ExitStatus::Usage,
                        shown_input(argv[1]) + " is no command; " +
                            (meant.empty() ? "" : "did you mean " + meant + "? ") + "the commands are " + known,
                        json_asked, out, err);
        }
        try {
            zrctl.parse(argc, argv);
        } catch (const CLI::Success& e) {
            return zrctl.exit(e, out, err);
        } catch (const CLI::ValidationError& e) {
            return fail(ExitStatus::InvalidInput, e.what(), json_asked, out, err);
        } catch (const CLI::ConversionError& e) {
            return fail(ExitStatus::InvalidInput, e.what(), json_asked, out, err);
        } catch (const CLI::ParseError& e) {
            const CLI::App* command = nullptr;
            for (const Command& c : commands)
                if (names_it(c) || c.app->parsed())
                    command = c.app;
            const std::string see =
                std::string(" (see ") + kName + (command ? " " + command->get_name() : "") + " --help)";
            if (const std::string unknown = unknown_option(argc, argv, zrctl, command); !unknown.empty())
                return fail(ExitStatus::Usage, unknown + see, json_asked, out, err);
            if (command == nullptr && zrctl.get_subcommands().empty()) {
                std::string known;
                for (const Command& c : commands)
                    known += (known.empty() ? "" : ", ") + c.app->get_name();
                return fail(ExitStatus::Usage, "give a command: " + known + see, json_asked, out, err);
            }
            return fail(ExitStatus::Usage, e.what() + see, json_asked, out, err);
        }
        std::optional<SimulatedBoardInUse> simulated;
        if (line.simulated_board)
            simulated.emplace();
        for (const Command& c : commands) {
            if (c.app->parsed()) {
                Output output{out, err, line.json, &in};
                c.run(output);
            }
        }
        return static_cast<int>(ExitStatus::Done);
    } catch (const Failure& f) {
        return fail(f.status(), f.what(), json_asked && !f.result_printed(), out, err);
    }
}

int run_zrctl(int argc, const char* const argv[], std::ostream& out, std::ostream& err)
{
    return run_zrctl(argc, argv, std::cin, out, err);
}
