// zrctl check-state FILE: whether the panel would use a state file, read by the
// panel's own reader, and if not which line is wrong.
#include "zrctl/commands/commands.h"

#include "zrctl/failure.h"
#include "zrctl/panel_resource.h"
#include "zrctl/report.h"

#include "resource/built_in_resource.h"
#include "ui_files/panel_state.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace {

void run_check_state(const std::string& path, Output& output)
{
    std::vector<StateValue> values;
    std::string problem;
    const StateFileVerdict verdict = read_state_file(path, kProgramName, panel_controls(), &values, &problem);
    if (verdict == StateFileVerdict::Unreadable || verdict == StateFileVerdict::Missing)
        throw Failure(ExitStatus::InvalidInput, path + ": cannot read it: " + problem);
    const bool fits = verdict == StateFileVerdict::Fits;
    if (output.json) {
        Json j;
        j["command"] = "check-state";
        j["file"] = path;
        j["used"] = fits;
        j["values"] = fits ? Json(values.size()) : Json(nullptr);
        j["problem"] = fits ? Json(nullptr) : Json(problem);
        output.out << json_text(j) << '\n';
    } else if (fits) {
        output.out << path << ": the panel would use it (" << values.size() << " control values)\n";
    }
    if (!fits)
        throw Failure(ExitStatus::InvalidInput, path + ": the panel would not use it: " + problem, output.json);
}

}  // namespace

Command add_check_state_command(CLI::App& zrctl)
{
    auto path = std::make_shared<std::string>();
    CLI::App* check = zrctl.add_subcommand(
        "check-state", "Whether the panel would use a state file (panel.sts), read by the panel's own reader, and if "
                       "not which line is wrong");
    check->add_option("FILE", *path, "the state file")->required();
    return {check, [path](Output& output) { run_check_state(*path, output); }};
}
