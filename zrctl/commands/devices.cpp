// zrctl devices: the FTDI devices as the program counts them, every port of a
// multi-port chip one device, with index, serial number, description, port, and
// whether each one can be opened now and if not why.
#include "zrctl/commands/commands.h"

#include "zrctl/board_status.h"
#include "zrctl/report.h"

#include "d2xx/d2xx.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace {

// A device whose texts cannot be read is still listed, with the reason.
struct Listed {
    DWORD index = 0;
    FT_STATUS status = FT_OK;
    char serial[FT_SERIAL_NUMBER_SIZE] = "";
    char description[FT_DESCRIPTION_SIZE] = "";
    char port = '?';
    DeviceUse use;
};

bool can_be_opened(const DeviceUse& use)
{
    return use.kind == DeviceUse::Free || use.kind == DeviceUse::SerialDriver;
}

void run_devices(Output& output)
{
    const DWORD count = count_devices();
    std::vector<Listed> devices(count);
    for (DWORD i = 0; i < count; ++i) {
        Listed& d = devices[i];
        d.index = i;
        d.status = FT_GetDeviceInfoDetail(i, d.serial, d.description, &d.port);
        d.use = device_use(i);
    }

    if (output.json) {
        Json list = Json::array();
        for (const Listed& d : devices) {
            Json j;
            j["index"] = d.index;
            const bool read = d.status == FT_OK;
            j["serial_number"] = read ? Json(d.serial) : Json(nullptr);
            j["description"] = read ? Json(d.description) : Json(nullptr);
            j["port"] = read ? Json(std::string(1, d.port)) : Json(nullptr);
            j["problem"] = read ? Json(nullptr) : Json(status_text(d.status));
            j["can_open"] = can_be_opened(d.use);
            j["state"] = device_use_text(d.use);
            list.push_back(j);
        }
        Json j;
        j["command"] = "devices";
        j["devices"] = list;
        output.out << json_text(j) << '\n';
        return;
    }
    output.out << "index  port  serial number     description               state\n";
    for (const Listed& d : devices) {
        char line[200];
        if (d.status == FT_OK)
            std::snprintf(line, sizeof line, "%-5u  %-4c  %-16s  %-24s  ", static_cast<unsigned>(d.index), d.port,
                          d.serial[0] ? d.serial : "-", d.description);
        else
            std::snprintf(line, sizeof line, "%-5u  ?     ?                 (cannot be read: %s)  ",
                          static_cast<unsigned>(d.index), status_text(d.status).c_str());
        output.out << line << device_use_text(d.use) << '\n';
    }
}

}  // namespace

Command add_devices_command(CLI::App& zrctl)
{
    CLI::App* devices = zrctl.add_subcommand(
        "devices", "The FTDI devices as the program counts them, every port of a multi-port chip one device: "
                   "index, port, serial number, description, and whether it can be opened now (free, busy, no "
                   "permission)");
    return {devices, [](Output& output) { run_devices(output); }, true};
}
