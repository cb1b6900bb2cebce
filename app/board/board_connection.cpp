#include "app/board/board_connection.h"

#include "wire/board_setup.h"
#include "d2xx/statuses.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "app/status_box.h"

#include <cstdio>

FT_HANDLE FTDIHandle = nullptr;
FT_STATUS FTDIStatus = FT_OK;
DWORD num_devs = 0;

namespace {

struct Board {
    BoardState state = BoardState::NoBoard;
    DeviceDetail device;  // the board open, or the one last open (unplugged, disconnected)
    bool known = false;   // whether device says which board that is
    std::string why;      // of a failed open or a refused setting
    OpenFailure::Kind failure = OpenFailure::None;
    bool simulated = false;
};

Board board;

void show_indicator()
{
    SetCtrlVal(MainPanelHandle, PANEL_BOARD, board_indicator_text().c_str());
}

// The line after "Open Failed": the status by name, the driver's reason, and
// what to do about it; without a word from the driver, what usually lies behind
// the status.
void explain_open_failure(FT_STATUS status, const OpenFailure& failure)
{
    const std::string name = status_text(status);
    const char* remedy = "";
    switch (failure.kind) {
    case OpenFailure::Permission:
        remedy = "No permission to use the board: install the udev rule as the README says, then unplug and "
                 "replug it and choose Board > Rescan.";
        break;
    case OpenFailure::Busy:
        remedy = "The board is busy: another program holds it. Close that program and choose Board > Rescan.";
        break;
    case OpenFailure::Other:
        remedy = "Unplug and replug the board, then choose Board > Rescan.";
        break;
    case OpenFailure::None: {
        const std::string hint = open_failure_hint(status);
        append_status("%s%s%s.\n", name.c_str(), hint.empty() ? "" : ": ", hint.c_str());
        return;
    }
    }
    if (failure.text.empty())
        append_status("%s. %s\n", name.c_str(), remedy);
    else
        append_status("%s. The driver says: %s. %s\n", name.c_str(), failure.text.c_str(), remedy);
}

}  // namespace

void show_board_notice(bool connected)
{
    SetCtrlAttribute(MainPanelHandle, PANEL_TEXTMSG_41, ATTR_VISIBLE, connected ? 0 : 1);
    SetCtrlAttribute(MainPanelHandle, PANEL_TEXTMSG_42, ATTR_VISIBLE, connected ? 1 : 0);
}

int FTDI_Search()
{
    append_status("%s", "Checking for FTDI devices...\n");
    FTDIStatus = FT_CreateDeviceInfoList(&num_devs);
    if (FTDIStatus != FT_OK) {
        append_status("%s", "Error in getting the number of devices.\n");
        set_board_state(BoardState::CountFailed, FTDIStatus);
        return 1;
    }
    if (num_devs == 0) {
        show_board_notice(false);
        append_status("%s", "There are no FTDI devices installed.\n");
        set_board_state(BoardState::NoBoard);
        return 1;
    }
    show_board_notice(true);
    append_status("%d FTDI devices found the count includes\nindividual ports on a single chip\n",
           static_cast<int>(num_devs));

    FTDIStatus = FT_Open(kBoardDeviceIndex, &FTDIHandle);
    if (FTDIStatus != FT_OK) {
        append_status("Open Failed with error %d\n", static_cast<int>(FTDIStatus));
        const OpenFailure failure = board_open_failure();
        explain_open_failure(FTDIStatus, failure);
        set_board_state(BoardState::OpenFailed, FTDIStatus, failure);
        return 1;
    }
    if (!configure_open_board("The board"))
        return 1;
    set_board_state(BoardState::Open);
    return 0;
}

// A board that refused its mode or rate would not put the bursts on the lines
// as the chip reads them: it is closed, and a press then says it was not opened.
bool configure_open_board(const std::string& board)
{
    char rate[32];
    std::snprintf(rate, sizeof rate, "%u baud", static_cast<unsigned>(kBitBangBaudRate));
    const char* refused = nullptr;
    FTDIStatus = FT_SetBitMode(FTDIHandle, kAllLinesOutputs, FT_BITMODE_ASYNC_BITBANG);
    if (FTDIStatus != FT_OK)
        refused = "asynchronous bit-bang mode";
    else if ((FTDIStatus = FT_SetBaudRate(FTDIHandle, kBitBangBaudRate)) != FT_OK)
        refused = rate;
    if (!refused)
        return true;
    append_status("%s would not take %s (%s): it was closed and will not be written to. Unplug and replug it, then "
                  "choose Board > Rescan.\n",
                  board.c_str(), refused, status_text(FTDIStatus).c_str());
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    set_board_state(BoardState::Refused, FTDIStatus, {}, refused);
    return false;
}

void set_board_state(BoardState state, FT_STATUS status, const OpenFailure& failure, const std::string& refused)
{
    board.state = state;
    board.failure = failure.kind;
    board.why.clear();
    if (state == BoardState::OpenFailed || state == BoardState::CountFailed)
        board.why = status_text(status);
    else if (state == BoardState::Refused)
        board.why = refused;
    show_indicator();
}

BoardState board_state()
{
    return board.state;
}

void forget_board()
{
    const bool simulated = board.simulated;
    board = Board{};
    board.simulated = simulated;
}

void set_board_simulated(bool simulated)
{
    board.simulated = simulated;
}

void set_board_device(const DeviceDetail& device)
{
    board.device = device;
    board.known = true;
    show_indicator();
}

std::string board_device_words()
{
    return board.known ? device_words(board.device) : "device 0";
}

std::string device_words(const DeviceDetail& d)
{
    return (d.serial_number.empty() ? std::string("(no serial number)") : d.serial_number) + " (port " +
           std::string(1, d.port) + ")";
}

std::string board_serial_number()
{
    return board.known ? board.device.serial_number : std::string();
}

char board_port()
{
    return board.device.port;
}

const char* open_remedy(OpenFailure::Kind kind)
{
    switch (kind) {
    case OpenFailure::Permission: return "Install the udev rule as the README says, unplug and replug the board";
    case OpenFailure::Busy: return "Close the program that holds it";
    default: return "Unplug and replug the board";
    }
}

std::string board_indicator_text()
{
    const std::string device = board_device_words();
    switch (board.state) {
    case BoardState::NoBoard: return "no board";
    case BoardState::CountFailed: return "no board: the FTDI devices cannot be counted, " + board.why;
    case BoardState::Open:
        return "open: " + device + (board.simulated ? ", a simulated board: nothing reaches a chip" : "");
    case BoardState::OpenFailed:
        switch (board.failure) {
        case OpenFailure::Permission: return "open failed: permission (install the udev rule)";
        case OpenFailure::Busy: return device_use_text({DeviceUse::Busy, {}});
        default: return "open failed: " + board.why;
        }
    case BoardState::Refused: return "open failed: " + device + " would not take " + board.why;
    case BoardState::Unplugged: return "unplugged: " + device;
    case BoardState::Disconnected: return "no board: disconnected";
    }
    return "no board";
}

std::string nothing_sent_reason(DWORD devices)
{
    const std::string device = board_device_words();
    switch (board.state) {
    case BoardState::Unplugged:
        return "The board " + device + " was unplugged: nothing was sent. Plug it back in; it is opened again "
               "by itself.\n";
    case BoardState::Disconnected:
        return "No board is open (Board > Disconnect): nothing was sent. Choose Board > Rescan or Choose board... "
               "to open one.\n";
    case BoardState::OpenFailed:
        return "The board could not be opened (" + board_indicator_text() + "): nothing was sent. " +
               open_remedy(board.failure) + ", then choose Board > Rescan.\n";
    case BoardState::Refused:
        return "The board " + device + " would not take " + board.why +
               ", so it was closed: nothing was sent. Unplug and replug it, then choose Board > Rescan.\n";
    case BoardState::CountFailed:
    case BoardState::NoBoard:
    case BoardState::Open:
        break;
    }
    if (devices == 0)
        return "No FTDI device is plugged in: nothing was sent. Plug in the board, then choose Board > Rescan.\n";
    return "No board was opened: nothing was sent. Choose Board > Rescan to open it, or Board > Choose board...\n";
}

std::string board_absence_words()
{
    if (board.state == BoardState::Unplugged)
        return "the board " + board_device_words() + " was unplugged";
    return "the interface board was closed";
}
