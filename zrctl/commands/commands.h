#pragma once
// zrctl's commands. Each adds itself to the command line with its options and
// runs once the line is parsed, printing text or, with --json, one JSON document.

#include <functional>
#include <istream>
#include <ostream>

namespace CLI {
class App;
}  // namespace CLI

// Where a command prints: its results to out, as text or as one JSON document,
// and notes that are no results to err; and what it reads from standard input.
struct Output {
    std::ostream& out;
    std::ostream& err;
    bool json = false;
    std::istream* in = nullptr;
};

struct Command {
    CLI::App* app = nullptr;
    std::function<void(Output&)> run;
    bool opens_board = false;  // it takes --simulated-board
};

Command add_solve_command(CLI::App& zrctl);
Command add_calc_command(CLI::App& zrctl);
Command add_burst_command(CLI::App& zrctl);
Command add_decode_command(CLI::App& zrctl);
Command add_devices_command(CLI::App& zrctl);
Command add_program_command(CLI::App& zrctl);
Command add_plan_command(CLI::App& zrctl);
Command add_check_state_command(CLI::App& zrctl);
Command add_sweep_command(CLI::App& zrctl);
Command add_serve_command(CLI::App& zrctl);
