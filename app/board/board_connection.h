#pragma once
// The interface board: found, opened and configured once at start-up, closed
// once at quit. Every write goes through FTDIHandle.

#include "d2xx/d2xx.h"

#include <string>

extern FT_HANDLE FTDIHandle;  // 0 until FT_Open succeeds
extern FT_STATUS FTDIStatus;  // status of the last D2XX call
extern DWORD num_devs;        // the last device count

// Looks for the board, opens device 0 and puts all eight lines in asynchronous
// bit-bang mode, reporting in the status box and with the board notices. A
// board that refuses the mode or the rate is closed again, FTDIHandle 0.
// Returns 0 when the board is open and configured, 1 otherwise.
int FTDI_Search();

// Shows the not-connected notice and hides the connected one, or the other way round.
void show_board_notice(bool connected);

// What the panel knows of its board.
enum class BoardState {
    NoBoard,       // none found
    CountFailed,   // the devices could not be counted
    Open,          // open, in asynchronous bit-bang mode at the rate: presses write to it
    OpenFailed,    // the open failed (busy, permission or another reason)
    Refused,       // it would not take the mode or the rate, and was closed
    Unplugged,     // it went away while open; it is opened again when it comes back
    Disconnected,  // closed from the Board menu
};

// Start-up's search says how it ended; why is the reason of a failed open or
// the setting refused.
void set_board_state(BoardState state, FT_STATUS status = FT_OK, const OpenFailure& failure = {},
                     const std::string& refused = "");
BoardState board_state();
// Forgets the board and its history, as at the program's start.
void forget_board();

// The device that is open, or was last (unplugged, disconnected), as D2XX
// describes it; start-up's search learns it after opening device 0.
void set_board_device(const DeviceDetail& device);
// "FT5XZ3P1 (port A)", or "device 0" while the device is not known.
std::string board_device_words();
// "FT5XZ3P1 (port A)" for that device, "(no serial number) (port A)" for one without.
std::string device_words(const DeviceDetail& device);
// Its serial number, "" while not known, and its port.
std::string board_serial_number();
char board_port();

// Puts the board just opened in asynchronous bit-bang mode, all eight lines
// outputs, at the rate the bursts are timed for. A refusal is said in Status,
// starting with `board` ("The board", "The board FT5XZ3P1 (port A)"); the board
// is then closed, FTDIHandle 0, and the state Refused. True when it took both.
bool configure_open_board(const std::string& board);

// What to do about a failed open of that kind, for Status: "Close the program that holds it".
const char* open_remedy(OpenFailure::Kind kind);

// "open: FT5XZ3P1 (port A)", "unplugged: FT5XZ3P1 (port A)", "no board", ...
std::string board_indicator_text();

// Why nothing is sent now, with the count of devices just made, and what to do,
// in one line ending in a line feed.
std::string nothing_sent_reason(DWORD devices);
// "the board FT5XZ3P1 (port A) was unplugged", "the board was closed", for a
// sweep stopped because the board went away.
std::string board_absence_words();

// The board --simulated-board stands behind the calls: the indicator says so.
void set_board_simulated(bool simulated);

