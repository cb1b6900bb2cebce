#include "d2xx/statuses.h"

std::string status_text(FT_STATUS status)
{
    const char* name = "status";
    switch (status) {
    case FT_OK: name = "FT_OK"; break;
    case FT_INVALID_HANDLE: name = "FT_INVALID_HANDLE"; break;
    case FT_DEVICE_NOT_FOUND: name = "FT_DEVICE_NOT_FOUND"; break;
    case FT_DEVICE_NOT_OPENED: name = "FT_DEVICE_NOT_OPENED"; break;
    case FT_IO_ERROR: name = "FT_IO_ERROR"; break;
    case FT_INSUFFICIENT_RESOURCES: name = "FT_INSUFFICIENT_RESOURCES"; break;
    case FT_INVALID_PARAMETER: name = "FT_INVALID_PARAMETER"; break;
    case FT_INVALID_BAUD_RATE: name = "FT_INVALID_BAUD_RATE"; break;
    case FT_OTHER_ERROR: name = "FT_OTHER_ERROR"; break;
    }
    return std::string(name) + " (" + std::to_string(status) + ")";
}

std::string open_failure_hint(FT_STATUS status)
{
    if (status == FT_DEVICE_NOT_OPENED)
        return "no permission to open it (see the udev rule), or another program holds it";
    return "";
}

std::string device_use_text(const DeviceUse& use)
{
    std::string text;
    switch (use.kind) {
    case DeviceUse::Free: text = "free"; break;
    case DeviceUse::OpenHere: text = "open in this program"; break;
    case DeviceUse::Busy: text = "busy: another program holds it"; break;
    case DeviceUse::NoPermission: text = "no permission (install the udev rule)"; break;
    case DeviceUse::SerialDriver: text = "free, but the serial port driver has it: opening it takes the port away"; break;
    case DeviceUse::Unknown: text = "cannot tell"; break;
    }
    if (!use.text.empty())
        text += " (" + use.text + ")";
    return text;
}
