#pragma once
// D2XX statuses as zrctl reports them, and the devices it counts.

#include "d2xx/board_driver.h"

#include <string>

// "FT_DEVICE_NOT_OPENED (3)"
std::string status_text(FT_STATUS status);

// What usually lies behind a failed open on Linux, or "".
std::string open_failure_hint(FT_STATUS status);

// The FTDI devices as the program counts them, every port one device. Refuses
// with "no board" when they cannot be counted or there is none.
DWORD count_devices();
