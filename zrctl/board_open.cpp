#include "zrctl/board_open.h"

#include "zrctl/board_status.h"
#include "zrctl/failure.h"
#include "zrctl/numbers.h"
#include "zrctl/simulated_board_option.h"

#include "wire/board_setup.h"
#include "wire/short_write.h"

#include <CLI/CLI.hpp>

namespace {

FT_HANDLE open_device(const DeviceChoice& choice)
{
    const uint32_t index = device_index(choice);
    const std::string device = device_name(choice);
    const DWORD count = count_devices();

    FT_HANDLE handle = nullptr;
    FT_STATUS opened = FT_OK;
    if (choice.serial.given()) {
        opened = FT_OpenEx(choice.serial.text.c_str(), FT_OPEN_BY_SERIAL_NUMBER, &handle);
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

}  // namespace

void add_device_options(CLI::App& command, DeviceChoice& choice)
{
    choice.index.option =
        command.add_option("--index", choice.index.text, "the device's index, as devices lists it")->type_name("N");
    choice.serial.option =
        command.add_option("--serial", choice.serial.text, "the device's serial number, as devices lists it")
            ->type_name("S")
            ->excludes(choice.index.option);
}

std::string device_name(const DeviceChoice& choice)
{
    if (choice.serial.given())
        return "device with serial number " + choice.serial.text;
    const uint32_t index = device_index(choice);
    return "device " + std::to_string(index) +
           (simulated_board_in_use() && index == 0 ? std::string(" (") + kSimulatedSerialNumber + ")" : "");
}

uint32_t device_index(const DeviceChoice& choice)
{
    return choice.index.given() ? whole_number_of("--index", choice.index.text) : kBoardDeviceIndex;
}

Json device_json(const DeviceChoice& choice)
{
    if (choice.serial.given())
        return {{"serial_number", choice.serial.text}};
    return {{"index", device_index(choice)}};
}

OpenBoard::OpenBoard(const DeviceChoice& choice) : handle_(open_device(choice))
{
    const std::string device = device_name(choice);
    const FT_STATUS mode = FT_SetBitMode(handle_, kAllLinesOutputs, FT_BITMODE_ASYNC_BITBANG);
    const FT_STATUS rate = mode == FT_OK ? FT_SetBaudRate(handle_, kBitBangBaudRate) : FT_OK;
    if (mode != FT_OK || rate != FT_OK) {
        // The destructor of a half-built board does not run.
        FT_Close(handle_);
        if (mode != FT_OK)
            throw Failure(ExitStatus::OpenFailed,
                          "FTDI " + device + " would not take asynchronous bit-bang mode: " + status_text(mode));
        throw Failure(ExitStatus::OpenFailed, "FTDI " + device + " would not take " +
                                                  std::to_string(kBitBangBaudRate) + " baud: " + status_text(rate));
    }
}

OpenBoard::~OpenBoard()
{
    FT_Close(handle_);
}

SweepWriter OpenBoard::writer() const
{
    return [handle = handle_](const uint8_t* bytes, std::size_t length) {
        DWORD written = 0;
        const FT_STATUS status =
            FT_Write(handle, const_cast<uint8_t*>(bytes), static_cast<DWORD>(length), &written);
        return BoardWrite{status == FT_OK, written, status_text(status), write_sent_nothing(status)};
    };
}

std::string write_failure_text(const std::string& device, const std::vector<uint8_t>& burst, const BoardWrite& w)
{
    if (w.ok && w.written == burst.size())
        return "";
    const std::string counts = std::to_string(w.written) + " of " + std::to_string(burst.size()) + " bytes written";
    const ShortWrite latched =
        what_the_chip_latched(burst.data(), burst.size(), w.ok ? w.written : 0, w.ok || w.sent_nothing);
    return "the write to FTDI " + device + (w.ok ? " was short: " + counts : " failed: " + w.status + ", " + counts) +
           "; " + short_write_text(latched);
}
