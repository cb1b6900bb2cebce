#pragma once
// D2XX statuses by name, and what usually lies behind a failed open: the texts
// the panel and zrctl both report a status with.

#include "d2xx/board_driver.h"

#include <string>

// "FT_DEVICE_NOT_OPENED (3)"
std::string status_text(FT_STATUS status);

// What usually lies behind a failed open on Linux, or "".
std::string open_failure_hint(FT_STATUS status);

// What a device's use means to the operator: "free", "busy: another program holds it", ...
std::string device_use_text(const DeviceUse& use);
