#include "app/board/board_choice.h"

#include "app/board/board_connection.h"
#include "app/main_panel.h"
#include "app/status_box.h"
#include "d2xx/statuses.h"
#include "resource/New_Panel.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "wire/board_setup.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kLargestChoiceFile = 256;

DWORD devices_seen = 0;  // the count at the poll before, while the board is unplugged

// The devices as the driver lists them now; an entry that cannot be read has an
// empty serial number and its reason as description.
struct Listed {
    DeviceDetail detail;
    FT_STATUS status = FT_OK;
};

std::vector<Listed> list_devices(DWORD count)
{
    std::vector<Listed> devices(count);
    for (DWORD i = 0; i < count; ++i) {
        char serial[FT_SERIAL_NUMBER_SIZE] = "";
        char description[FT_DESCRIPTION_SIZE] = "";
        char port = '?';
        devices[i].status = FT_GetDeviceInfoDetail(i, serial, description, &port);
        if (devices[i].status == FT_OK)
            devices[i].detail = {serial, description, port};
    }
    return devices;
}

int index_of(const std::vector<Listed>& devices, const std::string& serial)
{
    if (serial.empty())
        return -1;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].status == FT_OK && devices[i].detail.serial_number == serial)
            return static_cast<int>(i);
    return -1;
}

void close_open_board()
{
    if (FTDIHandle)
        FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
}

// Opens a device as start-up opens device 0: all eight lines outputs, asynchronous
// bit-bang mode, the rate. By serial number when it has one, so that a device
// plugged in meanwhile does not shift the choice. Says a failure in Status.
bool open_device(int index, const DeviceDetail& detail)
{
    close_open_board();
    set_board_device(detail);
    FT_HANDLE handle = nullptr;
    FTDIStatus = detail.serial_number.empty() ? FT_Open(index, &handle)
                                              : FT_OpenEx(detail.serial_number.c_str(), FT_OPEN_BY_SERIAL_NUMBER,
                                                          &handle);
    if (FTDIStatus != FT_OK) {
        const OpenFailure failure = board_open_failure();
        set_board_state(BoardState::OpenFailed, FTDIStatus, failure);
        append_status("The board %s would not open: %s%s%s. %s, then choose Board > Rescan.\n",
                      device_words(detail).c_str(), status_text(FTDIStatus).c_str(),
                      failure.text.empty() ? "" : ", the driver says: ", failure.text.c_str(),
                      open_remedy(failure.kind));
        return false;
    }
    FTDIHandle = handle;
    if (!configure_open_board("The board " + device_words(detail)))
        return false;
    set_board_state(BoardState::Open);
    return true;
}

std::string remembered_serial()
{
    std::string text, why;
    const ReadOutcome read = read_regular_file(kBoardChoiceFile, kLargestChoiceFile, &text, &why);
    if (read == ReadOutcome::Missing)
        return "";
    if (read != ReadOutcome::Ok) {
        append_status("The board chosen last time cannot be read from %s: %s.\n", kBoardChoiceFile, why.c_str());
        return "";
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    const bool fits = !text.empty() && text.size() < FT_SERIAL_NUMBER_SIZE;
    bool printable = true;
    for (const char c : text)
        printable = printable && std::isgraph(static_cast<unsigned char>(c));
    if (!fits || !printable) {
        append_status("%s holds no serial number of a board: the board chosen last time is not known.\n",
                      kBoardChoiceFile);
        return "";
    }
    return text;
}

void remember(const std::string& serial)
{
    if (serial.empty())
        return;
    std::string why;
    if (!replace_file(kBoardChoiceFile, serial + "\n", &why))
        append_status("The choice of %s could not be kept in %s (%s): the next start opens device 0.\n",
                      serial.c_str(), kBoardChoiceFile, why.c_str());
}

// Unplugged while open: closed, said once, and watched for.
void board_unplugged()
{
    close_open_board();
    set_board_state(BoardState::Unplugged);
    show_board_notice(false);
    DWORD count = 0;
    devices_seen = FT_CreateDeviceInfoList(&count) == FT_OK ? count : 0;
    append_status("The board %s was unplugged: nothing can be sent until it is back; it is opened again as soon "
                  "as it is plugged in.\n",
                  board_device_words().c_str());
}

// Counts the devices for a menu action; a failure or none is said.
bool count_for(const char* action, DWORD* count)
{
    FTDIStatus = FT_CreateDeviceInfoList(count);
    if (FTDIStatus != FT_OK) {
        append_status("%s: the FTDI devices cannot be counted (%s).\n", action, status_text(FTDIStatus).c_str());
        return false;
    }
    if (*count == 0) {
        append_status("%s: no FTDI device is plugged in.\n", action);
        return false;
    }
    return true;
}

// A rescan that found no device: a board open until now went away, and is
// waited for. A count that failed says nothing of the board open, which stays.
void nothing_to_open(FT_STATUS count_status)
{
    if (count_status != FT_OK) {
        if (!FTDIHandle)
            set_board_state(BoardState::CountFailed, count_status);
        return;
    }
    if (FTDIHandle) {
        board_unplugged();
        return;
    }
    set_board_state(BoardState::NoBoard);
    show_board_notice(false);
}

}  // namespace

void notice_unplug()
{
    if (!FTDIHandle)
        return;
    DWORD lines = 0;
    if (FT_GetModemStatus(FTDIHandle, &lines) != FT_OK)
        board_unplugged();
}

void poll_board()
{
    if (board_state() == BoardState::Open && FTDIHandle) {
        notice_unplug();
        return;
    }
    if (board_state() != BoardState::Unplugged)
        return;
    // The device list is read in full only when the count has changed.
    DWORD count = 0;
    if (FT_CreateDeviceInfoList(&count) != FT_OK || count == devices_seen)
        return;
    devices_seen = count;
    const std::vector<Listed> devices = list_devices(count);
    const int index = index_of(devices, board_serial_number());
    if (index < 0)
        return;
    if (open_device(index, devices[static_cast<std::size_t>(index)].detail)) {
        show_board_notice(true);
        append_status("The board %s is back: opened again in asynchronous bit-bang mode at %u baud.\n",
                      board_device_words().c_str(), static_cast<unsigned>(kBitBangBaudRate));
    }
}

void after_board_search()
{
    if (board_state() == BoardState::Open && FTDIHandle) {
        char serial[FT_SERIAL_NUMBER_SIZE] = "";
        char description[FT_DESCRIPTION_SIZE] = "";
        char port = 'A';
        if (FT_GetDeviceInfoDetail(kBoardDeviceIndex, serial, description, &port) == FT_OK) {
            set_board_device({serial, description, port});
        }
    }
    const std::string wanted = remembered_serial();
    if (!wanted.empty() && !(board_state() == BoardState::Open && board_serial_number() == wanted)) {
        DWORD count = 0;
        if (FT_CreateDeviceInfoList(&count) == FT_OK && count > 0) {
            const std::vector<Listed> devices = list_devices(count);
            const int index = index_of(devices, wanted);
            if (index < 0) {
                append_status("The board chosen last time, %s, is not plugged in: %s.\n", wanted.c_str(),
                              board_state() == BoardState::Open ? ("device 0, " + board_device_words() +
                                                                 ", stays open").c_str()
                                                              : "no board is open");
            } else {
                const DeviceDetail before{board_serial_number(), "", board_port()};
                const bool was_open = board_state() == BoardState::Open;
                if (open_device(index, devices[static_cast<std::size_t>(index)].detail)) {
                    show_board_notice(true);
                    append_status("Moved to the board chosen last time: %s, device %d.\n",
                                  board_device_words().c_str(), index);
                } else if (was_open && open_device(kBoardDeviceIndex, before)) {
                    show_board_notice(true);
                    append_status("Device 0, %s, was opened again instead.\n", device_words(before).c_str());
                }
            }
        }
    }
    InstallPollCallback(kBoardPollSeconds, poll_board);
}

void Choose_Board(int, int, void*, int)
{
    DWORD count = 0;
    if (!count_for("Choose board", &count)) {
        MessagePopup("Choose board", "No FTDI device can be listed: the Status box says why.");
        return;
    }
    const std::vector<Listed> devices = list_devices(count);
    std::vector<std::string> items;
    int chosen = 0;  // the board open now, so that Enter keeps it
    for (DWORD i = 0; i < count; ++i) {
        const Listed& d = devices[i];
        char line[240];
        if (d.status == FT_OK)
            std::snprintf(line, sizeof line, "%u: %s, port %c, %s - %s", static_cast<unsigned>(i),
                          d.detail.serial_number.empty() ? "(no serial number)" : d.detail.serial_number.c_str(),
                          d.detail.port, d.detail.description.c_str(), device_use_text(device_use(i)).c_str());
        else
            std::snprintf(line, sizeof line, "%u: cannot be read (%s) - %s", static_cast<unsigned>(i),
                          status_text(d.status).c_str(), device_use_text(device_use(i)).c_str());
        items.emplace_back(line);
        if (board_state() == BoardState::Open && d.status == FT_OK &&
            d.detail.serial_number == board_serial_number())
            chosen = static_cast<int>(i);
    }
    if (ListSelectPopup("Choose board",
                        "The FTDI devices, every port of a multi-port chip one device. The board chosen is opened "
                        "in asynchronous bit-bang mode and kept for the next start.",
                        items, &chosen) != 1)
        return;
    const Listed& d = devices[static_cast<std::size_t>(chosen)];
    if (d.status != FT_OK) {
        append_status("Device %d cannot be read (%s): it was not opened.\n", chosen, status_text(d.status).c_str());
        return;
    }
    if (board_state() == BoardState::Open && FTDIHandle && d.detail.serial_number == board_serial_number() &&
        !d.detail.serial_number.empty()) {
        remember(d.detail.serial_number);
        append_status("The board %s is open already.\n", board_device_words().c_str());
        return;
    }
    if (open_device(chosen, d.detail)) {
        show_board_notice(true);
        remember(d.detail.serial_number);
        append_status("Opened the board %s, device %d, in asynchronous bit-bang mode at %u baud.\n",
                      board_device_words().c_str(), chosen, static_cast<unsigned>(kBitBangBaudRate));
    } else {
        show_board_notice(false);
    }
}

void Rescan_Boards(int, int, void*, int)
{
    DWORD count = 0;
    if (!count_for("Rescan", &count)) {
        nothing_to_open(FTDIStatus);
        return;
    }
    const std::vector<Listed> devices = list_devices(count);
    std::string wanted = remembered_serial();
    if (wanted.empty())
        wanted = board_serial_number();
    int index = index_of(devices, wanted);
    if (index < 0)
        index = kBoardDeviceIndex;
    const Listed& d = devices[static_cast<std::size_t>(index)];
    DWORD lines = 0;
    if (board_state() == BoardState::Open && FTDIHandle && d.status == FT_OK &&
        d.detail.serial_number == board_serial_number() && FT_GetModemStatus(FTDIHandle, &lines) == FT_OK) {
        append_status("Rescan: %u FTDI devices; the board %s stays open.\n", static_cast<unsigned>(count),
                      board_device_words().c_str());
        return;
    }
    const DeviceDetail detail = d.status == FT_OK ? d.detail : DeviceDetail{};
    if (open_device(index, detail)) {
        show_board_notice(true);
        append_status("Rescan: %u FTDI devices; opened the board %s, device %d.\n", static_cast<unsigned>(count),
                      board_device_words().c_str(), index);
    } else {
        show_board_notice(false);
    }
}

void Disconnect_Board(int, int, void*, int)
{
    const bool was_open = FTDIHandle != nullptr;
    close_open_board();
    set_board_state(BoardState::Disconnected);
    show_board_notice(false);
    if (was_open)
        append_status("The board %s was closed: presses send nothing until Board > Rescan or Choose board... "
                      "opens one.\n",
                      board_device_words().c_str());
    else
        append_status("%s", "No board was open.\n");
}
