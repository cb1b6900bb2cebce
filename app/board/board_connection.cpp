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
                 "replug it and restart the program.";
        break;
    case OpenFailure::Busy:
        remedy = "The board is busy: another program holds it. Close that program and restart this one.";
        break;
    case OpenFailure::Other:
        remedy = "Unplug and replug the board, then restart the program.";
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

// A board that refused its mode or rate would not put the bursts on the lines
// as the chip reads them: it is closed, and a press then says it was not opened.
int give_up_setting(const char* what)
{
    append_status("The board would not take %s (error %d): it was closed and will not be written to. Unplug and "
                  "replug it, then restart the program.\n",
                  what, static_cast<int>(FTDIStatus));
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    return 1;
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
        return 1;
    }
    if (num_devs == 0) {
        show_board_notice(false);
        append_status("%s", "There are no FTDI devices installed.\n");
        return 1;
    }
    show_board_notice(true);
    append_status("%d FTDI devices found the count includes\nindividual ports on a single chip\n",
           static_cast<int>(num_devs));

    FTDIStatus = FT_Open(kBoardDeviceIndex, &FTDIHandle);
    if (FTDIStatus != FT_OK) {
        append_status("Open Failed with error %d\n", static_cast<int>(FTDIStatus));
        explain_open_failure(FTDIStatus, board_open_failure());
        return 1;
    }
    FTDIStatus = FT_SetBitMode(FTDIHandle, kAllLinesOutputs, FT_BITMODE_ASYNC_BITBANG);
    if (FTDIStatus != FT_OK)
        return give_up_setting("asynchronous bit-bang mode");
    FTDIStatus = FT_SetBaudRate(FTDIHandle, kBitBangBaudRate);
    if (FTDIStatus != FT_OK) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%u baud", static_cast<unsigned>(kBitBangBaudRate));
        return give_up_setting(rate);
    }
    return 0;
}
