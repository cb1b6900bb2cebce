#include "zrctl/zrctl.h"

#include "zrctl/commands/commands.h"
#include "zrctl/failure.h"
#include "zrctl/report.h"
#include "zrctl/simulated_board_option.h"

#include "model/version.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstring>
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

int run_zrctl(int argc, const char* const argv[], std::ostream& out, std::ostream& err)
{
    // Known before the line is parsed, so that a usage error is reported as JSON too.
    const bool json_asked = std::any_of(argv + std::min(argc, 1), argv + argc,
                                        [](const char* a) { return std::strcmp(a, "--json") == 0; });
    try {
        CLI::App zrctl("Registers, bursts and programming of the ZR3100 and ZR3500 synthesizers on their "
                       "evaluation board, computed as the zr-eval panel computes them",
                       kName);
        zrctl.set_version_flag("--version", std::string(kName) + " " + ZR_VERSION);
        zrctl.require_subcommand(1);
        bool json = false;
        const std::vector<Command> commands = {
            add_solve_command(zrctl),   add_calc_command(zrctl),    add_burst_command(zrctl),
            add_decode_command(zrctl),  add_devices_command(zrctl), add_program_command(zrctl),
            add_check_state_command(zrctl), add_sweep_command(zrctl),   add_serve_command(zrctl),
            add_plan_command(zrctl),
        };
        bool simulated_board = false;
        const std::string simulated_help = std::string("put a simulated board behind the FTDI calls as device 0, "
                                                       "serial number ") +
                                           kSimulatedSerialNumber + ", instead of the boards plugged in";
        zrctl.add_flag("--simulated-board", simulated_board, simulated_help + " (before or after the command)");
        for (const Command& c : commands) {
            c.app->add_flag("--json", json, "print one JSON document and nothing else");
            if (c.opens_board)
                c.app->add_flag("--simulated-board", simulated_board, simulated_help);
        }
        // Set after the commands, which would take it over.
        zrctl.footer("Each command has its own --help.\nExit status: 0 done; 1 usage; 2 invalid input (out of "
                     "range, unreadable state); 3 no board; 4 open failed; 5 write failed or short; 6 serve "
                     "could not listen.");

        // A first word that is neither an option nor a command: say so, rather
        // than that a command is missing.
        const auto names_it = [&](const Command& c) { return argc > 1 && c.app->get_name() == argv[1]; };
        if (argc > 1 && argv[1][0] != '-' && std::none_of(commands.begin(), commands.end(), names_it)) {
            std::string known;
            for (const Command& c : commands)
                known += (known.empty() ? "" : ", ") + c.app->get_name();
            return fail(ExitStatus::Usage, std::string(argv[1]) + " is no command; the commands are " + known,
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
            return fail(ExitStatus::Usage, std::string(e.what()) + " (see " + kName + " --help)", json_asked, out,
                        err);
        }
        std::optional<SimulatedBoardInUse> simulated;
        if (simulated_board)
            simulated.emplace();
        for (const Command& c : commands) {
            if (c.app->parsed()) {
                Output output{out, err, json};
                c.run(output);
            }
        }
        return static_cast<int>(ExitStatus::Done);
    } catch (const Failure& f) {
        return fail(f.status(), f.what(), json_asked && !f.result_printed(), out, err);
    }
}
