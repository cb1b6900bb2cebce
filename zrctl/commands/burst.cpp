// zrctl burst: the bytes "Program Device" would send for the settings, in hex;
// with --vcd, also the burst as a Value Change Dump of the board lines.
#include "zrctl/commands/commands.h"

#include "zrctl/failure.h"
#include "zrctl/programming_burst.h"

#include "wire/bitbang_timing.h"
#include "wire/bursts.h"
#include "wire/vcd.h"
#include "model/version.h"
#include "resource/built_in_resource.h"
#include "ui_files/file_io.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace {

struct BurstCommandOptions {
    BurstOptions burst;
    TextOption vcd;
};

void write_vcd(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string why;
    // As the panel's bus view writes it.
    const std::string writer = std::string(kProgramName) + " " + ZR_VERSION;
    if (!replace_file(path, value_change_dump(bytes, kPinUpdateRate, writer), &why))
        throw Failure(ExitStatus::InvalidInput, "--vcd " + path + ": cannot write it: " + why);
}

void run_burst(const BurstCommandOptions& o, Output& output)
{
    std::ostream& out = output.out;
    const ProgrammingBurst b = programming_burst(o.burst);
    if (o.vcd.given())
        write_vcd(o.vcd.text, b.bytes);
    if (output.json) {
        Json j;
        j["command"] = "burst";
        j.update(burst_json(b));
        out << json_text(j) << '\n';
        return;
    }
    // The bytes alone, so that they can be handed on: zrctl decode $(zrctl burst ...).
    out << hex_bytes(b.bytes) << '\n';
}

}  // namespace

Command add_burst_command(CLI::App& zrctl)
{
    auto o = std::make_shared<BurstCommandOptions>();
    CLI::App* burst = zrctl.add_subcommand(
        "burst", "The bytes \"Program Device\" would send for the settings, in hex: the main word (and for ZR3500 "
                 "the auxiliary word) as ENH \"Disable (High)\" sends them, or with --enh-path the enhancement "
                 "word as \"Enable  (Low)\" sends it");
    add_burst_options(*burst, o->burst);
    o->vcd.option = burst
                        ->add_option("--vcd", o->vcd.text,
                                     std::string("also write the burst as a Value Change Dump of the eight board "
                                                 "lines, timed as the board takes the bytes (") +
                                         kPinRateSource + ": " + std::to_string(kPinUpdatesPerBaud) +
                                         " pin updates per baud, " + kPinRateChipFamily + ")")
                        ->type_name("FILE");
    return {burst, [o](Output& output) { run_burst(*o, output); }};
}
