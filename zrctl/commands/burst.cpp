// zrctl burst: the bytes "Program Device" would send for the settings, in hex.
#include "zrctl/commands/commands.h"

#include "zrctl/programming_burst.h"

#include "link/bursts.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace {

void run_burst(const BurstOptions& o, Output& output)
{
    std::ostream& out = output.out;
    const ProgrammingBurst b = programming_burst(o);
    if (output.json) {
        Json j;
        j["command"] = "burst";
        j.update(burst_json(b));
        out << json_text(j) << '\n';
        return;
    }
    // The bytes alone, so that they can be handed on: zrctl decode $(zrctl burst ...).
    if (!b.note.empty())
        output.err << "zrctl: note: " << b.note << '\n';
    out << hex_bytes(b.bytes) << '\n';
}

}  // namespace

Command add_burst_command(CLI::App& zrctl)
{
    auto o = std::make_shared<BurstOptions>();
    CLI::App* burst = zrctl.add_subcommand(
        "burst", "The bytes \"Program Device\" would send for the settings, in hex: the main word (and for ZR3500 "
                 "the auxiliary word) as ENH \"Disable (High)\" sends them, or with --enh-path the enhancement "
                 "word as \"Enable  (Low)\" sends it");
    add_burst_options(*burst, *o);
    return {burst, [o](Output& output) { run_burst(*o, output); }};
}
