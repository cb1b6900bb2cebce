// zrctl program: opens the board as the panel does, sends the burst that burst
// prints for the same settings in one write, closes it, and says what it sent.
#include "zrctl/commands/commands.h"

#include "zrctl/board_status.h"
#include "zrctl/failure.h"
#include "zrctl/numbers.h"
#include "zrctl/programming_burst.h"

#include "link/board_setup.h"
#include "link/d2xx/d2xx.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace {

struct ProgramOptions {
    BurstOptions burst;
    TextOption index, serial;
    bool dry_run = false;
};

// The open board, closed when it goes out of scope, whatever happened.
class OpenBoard {
public:
    explicit OpenBoard(FT_HANDLE handle) : handle_(handle) {}
    ~OpenBoard() { FT_Close(handle_); }
    OpenBoard(const OpenBoard&) = delete;
    OpenBoard& operator=(const OpenBoard&) = delete;
    FT_HANDLE handle() const { return handle_; }

private:
    FT_HANDLE handle_;
};

FT_HANDLE open_board(const ProgramOptions& o, uint32_t index, const std::string& device)
{
    DWORD count = 0;
    const FT_STATUS counted = FT_CreateDeviceInfoList(&count);
    if (counted != FT_OK)
        throw Failure(ExitStatus::NoBoard, "the FTDI devices cannot be counted: " + status_text(counted));
    if (count == 0)
        throw Failure(ExitStatus::NoBoard, "no FTDI device found");

    FT_HANDLE handle = nullptr;
    FT_STATUS opened = FT_OK;
    if (o.serial.given()) {
        opened = FT_OpenEx(o.serial.text.c_str(), FT_OPEN_BY_SERIAL_NUMBER, &handle);
    } else {
        if (index >= count)
            throw Failure(ExitStatus::NoBoard,
                          "no FTDI " + device + ": " + std::to_string(count) + " found, numbered from 0");
        opened = FT_Open(static_cast<int>(index), &handle);
    }
    if (opened == FT_DEVICE_NOT_FOUND)
        throw Failure(ExitStatus::NoBoard, "no FTDI " + device);
    if (opened != FT_OK) {
        const std::string hint = open_failure_hint(opened);
        throw Failure(ExitStatus::OpenFailed, "FTDI " + device + " would not open: " + status_text(opened) +
                                                  (hint.empty() ? "" : ": " + hint));
    }
    return handle;
}

void run_program(const ProgramOptions& o, Output& output)
{
    const uint32_t index = o.index.given() ? whole_number_of("--index", o.index.text) : kBoardDeviceIndex;
    const std::string device =
        o.serial.given() ? "device with serial number " + o.serial.text : "device " + std::to_string(index);
    const ProgrammingBurst b = programming_burst(o.burst);
    DWORD written = 0;
    if (!o.dry_run) {
        const OpenBoard board(open_board(o, index, device));
        const FT_STATUS mode = FT_SetBitMode(board.handle(), kAllLinesOutputs, FT_BITMODE_ASYNC_BITBANG);
        if (mode != FT_OK)
            throw Failure(ExitStatus::OpenFailed,
                          "FTDI " + device + " would not take asynchronous bit-bang mode: " + status_text(mode));
        const FT_STATUS rate = FT_SetBaudRate(board.handle(), kBitBangBaudRate);
        if (rate != FT_OK)
            throw Failure(ExitStatus::OpenFailed, "FTDI " + device + " would not take " +
                                                      std::to_string(kBitBangBaudRate) + " baud: " + status_text(rate));
        std::vector<uint8_t> bytes = b.bytes;
        const auto length = static_cast<DWORD>(bytes.size());
        const FT_STATUS wrote = FT_Write(board.handle(), bytes.data(), length, &written);
        if (wrote != FT_OK)
            throw Failure(ExitStatus::WriteFailed, "the write to FTDI " + device + " failed: " + status_text(wrote) +
                                                       ", " + std::to_string(written) + " of " +
                                                       std::to_string(length) + " bytes written");
        if (written != length)
            throw Failure(ExitStatus::WriteFailed, "the write to FTDI " + device + " was short: " +
                                                       std::to_string(written) + " of " + std::to_string(length) +
                                                       " bytes written");
    }

    if (output.json) {
        Json j;
        j["command"] = "program";
        j["device"] = o.serial.given() ? Json({{"serial_number", o.serial.text}}) : Json({{"index", index}});
        j["dry_run"] = o.dry_run;
        j["bytes_written"] = written;
        j.update(burst_json(b));
        output.out << json_text(j) << '\n';
        return;
    }
    if (!b.note.empty())
        output.out << "note: " << b.note << '\n';
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
    o->index.option = program->add_option("--index", o->index.text, "the device's index, as devices lists it")
                          ->type_name("N");
    o->serial.option =
        program->add_option("--serial", o->serial.text, "the device's serial number, as devices lists it")
            ->type_name("S")
            ->excludes(o->index.option);
    program->add_flag("--dry-run", o->dry_run, "open nothing; say what would be sent");
    return {program, [o](Output& output) { run_program(*o, output); }};
}
