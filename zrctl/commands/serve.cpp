// zrctl serve: the board kept open and served as a SCPI instrument on a TCP
// socket, for measurement scripts (PyVISA's TCPIP::host::5025::SOCKET), until
// SIGINT or SIGTERM.
#include "zrctl/commands/commands.h"

#include "zrctl/board_open.h"
#include "zrctl/failure.h"
#include "zrctl/report.h"
#include "zrctl/serve/instrument.h"
#include "zrctl/settings.h"
#include "zrctl/stop_signals.h"

#include "d2xx/d2xx.h"
#include "scpi/scpi_endpoint.h"
#include "scpi/scpi_server.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace {

constexpr const char* kDefaultListen = "127.0.0.1:5025";
constexpr const char* kNote = "zrctl serve: ";

// Every command and what it does, for --help and so the manual page.
constexpr const char* kCommandTable = R"table(SCPI commands (short form in capitals, any case; [nodes] may be left out; F a frequency in Hz
or with kHz, MHz, GHz; T a time in s or with ms, us):
  *IDN?                            maker, model, the board's serial number, version
  *RST                             the panel's first-start settings, list emptied; nothing sent
  *CLS, *ESR?, *OPC, *OPC?, *WAI   status; *OPC? answers once a hop list is done
  *TRG                             the next point of a list on LIST:STEP ONCE
  SYSTem:ERRor[:NEXT]?             the oldest error: -222,"Data out of range;..."
  SYSTem:ERRor:COUNt?              how many errors wait
  [SOURce:]FREQuency[:CW] F        solve and write as program --freq does
  [SOURce:]FREQuency[:CW]?         the Fin the registers give, in Hz
  [SOURce:]FREQuency:REQuested?    the target asked for, in Hz
  [SOURce:]FREQuency:ERRor?        Fin minus the target, in Hz
  [SOURce:]FREQuency:ROUNding DOWN|NEARest  the channel below, or the nearest
  [SOURce:]PART ZR3100|ZR3500      the part
  [SOURce:]REFerence F             the reference frequency Fr
  [SOURce:]PRESCaler 10|5|BYPass   the prescaler: 10/11, 5/6 or bypassed
  [SOURce:]MASH 2|3                the modulator's order: MASH 1-1 or 1-1-1
  [SOURce:]DITHer ON|OFF           dither (RAND_EN)
  [SOURce:]ENHancement ON|OFF      ENH "Enable  (Low)": REGister:SEND writes the enhancement word
  [SOURce:]REGister:R|M|A|K|E N    a register, as its field takes it
  [SOURce:]REGister:WORDs?         the main, auxiliary and enhancement words and the option byte
  [SOURce:]REGister:SEND           write the registers as set, as program does
  [SOURce:]LIST:FREQuency F,F,...  the hop list's points
  [SOURce:]LIST:DWELl T            from one point to the next on LIST:STEP AUTO
  [SOURce:]LIST:COUNt N            how many times the list is written
  [SOURce:]LIST:STEP AUTO|ONCE     a point each dwell, or one for each *TRG
  [SOURce:]LIST:POINts?            how many points the list holds
  INITiate[:IMMediate]             start the list; sweep's bursts on sweep's schedule
  ABORt                            stop the list; the chip keeps the last point written
  DIAGnostic:BURSt?                the bytes of the last write, in hex
  DIAGnostic:DECode?               what the chip latched from them
Each setting has its query (PART?, REG:M?, LIST:DWEL?) and sends nothing. A refused value
(-222 and the like in SYSTem:ERRor?) changes nothing and sends nothing; a write the board did
not take whole is -240 Hardware error, said on stderr too, and the server goes on.)table";

struct ServeOptions {
    SettingOptions settings;
    DeviceChoice device;
    std::string listen = kDefaultListen;
};

scpi::Endpoint listen_endpoint(const std::string& text)
{
    try {
        return scpi::parse_endpoint(text);
    } catch (const std::invalid_argument& e) {
        throw Failure(ExitStatus::InvalidInput, std::string("--listen ") + e.what());
    }
}

// As devices lists it; *IDN? gives "0" when it cannot be read.
std::string serial_number_of(const DeviceChoice& choice)
{
    if (choice.serial.given())
        return choice.serial.text;
    char serial[FT_SERIAL_NUMBER_SIZE] = "";
    char description[FT_DESCRIPTION_SIZE] = "";
    char port = '?';
    if (FT_GetDeviceInfoDetail(device_index(choice), serial, description, &port) != FT_OK)
        return "";
    return serial;
}

void run_serve(const ServeOptions& o, Output& output)
{
    // Everything is checked before the board is opened.
    device_index(o.device);
    const scpi::Endpoint at = listen_endpoint(o.listen);
    const RegisterSet settings = register_set_of(o.settings);
    std::ostream& err = output.err;
    const std::string device = device_name(o.device);

    scpi::Engine engine;
    std::optional<scpi::Server> server;
    try {
        server.emplace(engine, at);
    } catch (const std::system_error& e) {
        throw Failure(ExitStatus::ListenFailed, e.what());
    }
    const scpi::Endpoint local = server->local();
    {
        const std::string serial = serial_number_of(o.device);
        const OpenBoard board(o.device);
        Instrument instrument(engine, {board.writer(), device, serial}, settings, [&err](const std::string& line) {
            err << kNote << "board fault: " << line << std::endl;
        });
        server->tick = [&instrument] { return instrument.tick(); };
        server->log = [&err](const std::string& line) { err << kNote << line << std::endl; };

        // Caught before the address is said, so that whoever waits for it may stop the server.
        const StopSignals signals;
        err << kNote << "FTDI " << device << " opened" << (serial.empty() ? "" : ", serial number " + serial) << "; "
            << settings_line(instrument.settings()) << std::endl;
        if (!scpi::is_loopback(local))
            err << kNote << "warning: " << scpi::endpoint_text(local)
                << " is reached from beyond this machine, and SCPI has no authentication: whoever reaches it "
                   "controls the board"
                << std::endl;
        err << kNote << "listening at " << scpi::endpoint_text(local)
            << " for one client at a time; SIGINT or SIGTERM stops" << std::endl;
        try {
            server->run(StopSignals::asked());
        } catch (const std::system_error& e) {
            throw Failure(ExitStatus::ListenFailed, std::string("the server stopped: ") + e.what());
        }
        instrument.abort();
    }
    server.reset();
    err << kNote << "stopped; FTDI " << device << " and the sockets closed" << std::endl;
    if (output.json) {
        Json j;
        j["command"] = "serve";
        j["device"] = device_json(o.device);
        j["listened_at"] = scpi::endpoint_text(local);
        output.out << json_text(j) << '\n';
    }
}

}  // namespace

Command add_serve_command(CLI::App& zrctl)
{
    auto o = std::make_shared<ServeOptions>();
    CLI::App* serve = zrctl.add_subcommand(
        "serve", "Keeps the board open and answers SCPI commands on a TCP socket as a signal generator does, for "
                 "measurement scripts (PyVISA: TCPIP::127.0.0.1::5025::SOCKET): one client at a time (a second is "
                 "told it is busy), lines ended by \\n, several commands on a line separated by ;. FREQuency "
                 "solves and writes as program --freq does, a hop list runs as sweep runs its points, and "
                 "SYSTem:ERRor? tells what was refused. Says on stderr what it opened and where it listens, and "
                 "runs until SIGINT or SIGTERM (or SIGHUP, SIGQUIT), which close the board and the sockets");
    serve
        ->add_option("--listen", o->listen,
                     std::string("ADDRESS:PORT to listen at, numeric, IPv6 in brackets (default ") + kDefaultListen +
                         ": this machine only); 0.0.0.0:5025 reaches the board from the network, without "
                         "authentication; port 0 lets the system choose")
        ->type_name("ADDR:PORT");
    add_setting_options(*serve, o->settings, true);
    add_device_options(*serve, o->device);
    serve->footer(kCommandTable);
    return {serve, [o](Output& output) { run_serve(*o, output); }, true};
}
