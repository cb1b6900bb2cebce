#pragma once
// The evaluation board as a SCPI instrument: zrctl serve's command table, bound
// to the board and the settings, on the core calls of program and sweep.
//
// The settings commands (PART, REFerence, PRESCaler, MASH, DITHer, ENHancement,
// REGister:R|M|A|K|E) change the settings as the panel's fields and switches do,
// range rules and all, and send nothing. FREQuency solves and writes as program
// --freq does; REGister:SEND writes as program does with the registers as set; a
// hop list writes as sweep does. A value the command does not take is refused
// with its error (-222 for one out of range) and changes nothing; a write the
// board did not take whole is -240 Hardware error in the queue and a line on the
// fault log, and the instrument goes on.

#include "zrctl/serve/hop_list.h"

#include "scpi/scpi_engine.h"
#include "wire/sweep_run.h"
#include "model/nearest_channel.h"
#include "model/register_set.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The opened board as the instrument writes to it.
struct BoardLink {
    SweepWriter write;          // one burst in one write
    std::string name;           // "device 0", as messages name it
    std::string serial_number;  // its serial number, for *IDN?
};

class Instrument {
public:
    // Adds the commands to the engine. settings: as the command line gave them.
    // fault_log: where a board fault is said in full, once.
    Instrument(scpi::Engine& engine, BoardLink board, const RegisterSet& settings,
               std::function<void(const std::string&)> fault_log);
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // Writes the points of a list on STEP AUTO that are due, for a few
    // milliseconds at most so that the server stays responsive; returns how long
    // until the next is due.
    std::chrono::milliseconds tick();
    // What ABORt does: the list ends, the chip keeps its last point.
    void abort();

    // As the panel's fields and switches would show them, recomputed.
    const RegisterSet& settings() const { return settings_; }
    bool list_running() const { return list_.running(); }

private:
    void add_common_commands();
    void add_frequency_commands();
    void add_setting_commands();
    void add_register_commands();
    void add_list_commands();
    void add_diagnostic_commands();

    // A setting changed by a command: refused while a list runs; afterwards the
    // settings are recomputed, and the last target no longer stands.
    void change_settings(const std::function<void(RegisterSet&)>& change);
    void refuse_while_listing() const;
    void reset();
    void send_press_burst(bool enhancement_path);
    void write_hop();
    void board_fault(const std::string& brief, const std::string& full);
    BoardWrite write_burst(const uint8_t* bytes, std::size_t length);

    scpi::Engine& engine_;
    BoardLink board_;
    std::function<void(const std::string&)> fault_log_;
    SweepWriter writer_;

    RegisterSet settings_;
    Rounding rounding_ = Rounding::Down;    // how FREQuency solves its target
    std::optional<double> requested_mhz_;  // the target of the last FREQuency, while the settings hold its solve
    bool enhancement_path_ = false;        // ENHancement ON: REGister:SEND writes the enhancement word
    HopList list_;
    std::vector<uint8_t> last_burst_;      // as handed to the board
};
