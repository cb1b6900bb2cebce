#pragma once
// Real boards, through libftdi. The only place that includes libftdi's header.

#include "d2xx/board_driver.h"

// The driver of real boards; one for the whole program. It numbers devices as
// D2XX does, every port of a multi-port chip one device, and answers with D2XX's
// statuses:
//   no memory for a libftdi context                 FT_INSUFFICIENT_RESOURCES
//   the bus cannot be listed (ftdi_usb_find_all)    FT_OTHER_ERROR
//   no device of that index or serial number        FT_DEVICE_NOT_FOUND
//   the port cannot be chosen or the device opened,
//     configured or claimed (ftdi_usb_open_dev < 0: no permission, busy
//     elsewhere, kernel driver not detached, ...),
//     or opened to read its strings                 FT_DEVICE_NOT_OPENED
//   a chip without a description string            FT_OTHER_ERROR
//   a handle it did not open                        FT_INVALID_HANDLE
//   a failed bit mode or write                      FT_IO_ERROR
//   a baud rate the chip cannot make                FT_INVALID_BAUD_RATE
BoardDriver& libftdi_driver();

// The rate to hand ftdi_set_baudrate for a D2XX rate. Once bit-bang mode is on,
// libftdi multiplies the rate by 4 before it works out the chip's divisor, and
// D2XX does not: to program the divisor D2XX would, libftdi gets a quarter of it.
int libftdi_baud_rate(DWORD d2xx_rate, bool bitbang_on);
