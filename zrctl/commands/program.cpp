// zrctl program: opens the board as the panel does, sends the burst that burst
// prints for the same settings in one write, closes it, and says what it sent.
#include "zrctl/commands/commands.h"

#include "zrctl/board_open.h"
#include "zrctl/failure.h"
#include "zrctl/programming_burst.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace {

struct ProgramOptions {
    BurstOptions burst;
    DeviceChoice device;
    bool dry_run = false;
};

void run_program(const ProgramOptions& o, Output& output)
{
    device_index(o.device);  // a bad --index is refused before anything else
    const std::string device = device_name(o.device);
    const ProgrammingBurst b = programming_burst(o.burst);
    DWORD written = 0;
    if (!o.dry_run) {
        const OpenBoard board(o.device);
        const BoardWrite w = board.writer()(b.bytes.data(), b.bytes.size());
        written = static_cast<DWORD>(w.written);
        const std::string failed = write_failure_text(device, b.bytes, w);
        if (!failed.empty())
            throw Failure(ExitStatus::WriteFailed, failed);
    }

    if (output.json) {
        Json j;
        j["command"] = "program";
        j["device"] = device_json(o.device);
        j["dry_run"] = o.dry_run;
        j["bytes_written"] = written;
        j.update(burst_json(b));
        output.out << json_text(j) << '\n';
        return;
    }
    const bool enhancement = b.kind == BurstKind::Enhancement;
    output.out << (o.dry_run ? "would send " : "sent ") << b.bytes.size() << " bytes to FTDI " << device << ": ";
    if (enhancement)
        output.out << "enhancement word " << hex_text(b.word, 2);
    else
        output.out << "main word " << hex_text(b.word, 6);
    if (b.aux_word != 0)
        output.out << ", auxiliary word " << hex_text(b.aux_word, 6);
    output.out << ", option byte " << hex_text(b.option_byte, 2) << '\n' << hex_bytes(b.bytes) << '\n';
}

}  // namespace

Command add_program_command(CLI::App& zrctl)
{
    auto o = std::make_shared<ProgramOptions>();
    CLI::App* program = zrctl.add_subcommand(
        "program", "Opens FTDI device 0 (or --index, or --serial) in asynchronous bit-bang mode as the panel does, "
                   "sends the burst that burst prints for the same settings in one write, closes it, and says what "
                   "it sent");
    add_burst_options(*program, o->burst);
    add_device_options(*program, o->device);
    program->add_flag("--dry-run", o->dry_run, "open nothing; say what would be sent");
    return {program, [o](Output& output) { run_program(*o, output); }, true};
}
