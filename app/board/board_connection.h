#pragma once
// The interface board: found, opened and configured once at start-up, closed
// once at quit. Every write goes through FTDIHandle.

#include "d2xx/d2xx.h"

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
