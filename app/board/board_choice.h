#pragma once
// The board the panel writes to, beyond the one start-up opens: chosen from the
// Board menu, found again by a rescan, closed on request, watched while the
// program runs (unplugged, plugged back in), and shown at all times in the
// board indicator under the notices.

#include "app/board/board_connection.h"

#include <string>

// The file beside panel.sts that remembers the serial number of the board chosen
// from the Board menu.
inline constexpr const char* kBoardChoiceFile = "panel.board";

// How often the board is looked at while the program runs.
inline constexpr double kBoardPollSeconds = 1.0;

// After start-up's search: learns which device it opened, moves to the board
// chosen last time when that one is plugged in and another device, and starts
// the poll.
void after_board_search();

// After a write that failed, and at each poll of an open board: when the board
// has gone, it is closed and the operator told once.
void notice_unplug();

// The light look at the board, about once a second: an open board still there,
// an unplugged one back.
void poll_board();

// Board menu.
void Choose_Board(int menuBar, int menuItem, void* callbackData, int panel);
void Rescan_Boards(int menuBar, int menuItem, void* callbackData, int panel);
void Disconnect_Board(int menuBar, int menuItem, void* callbackData, int panel);
