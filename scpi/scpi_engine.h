#pragma once
// Runs program messages against the instrument's commands, one message at a
// time: units in order, each header found from the current path, parameters
// counted, handlers called; the responses of a message's queries joined by ';'
// on one line. Holds the error queue and event status register and answers the
// common and status commands every instrument has: *CLS, *ESR?, *OPC, *OPC?,
// *WAI, SYSTem:ERRor[:NEXT]? and SYSTem:ERRor:COUNt?.
//
// The current path: a unit after ';' is found below the nodes of the unit
// before it (all but its last mnemonic) unless it begins with ':' (the root) or
// '*' (a common command, which leaves the path as it was). "LIST:DWELl 1;COUNt 3"
// sets LIST:COUNt; "LIST:DWELl 1;:FREQ 5" goes back to the root.
//
// A command error (-1xx) ends the message where it is found: the units after it
// are not run, the responses before it are still sent. Other errors are queued
// and the message goes on.

#include "scpi/scpi_status.h"
#include "scpi/scpi_tree.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace scpi {

class Engine {
public:
    explicit Engine(std::size_t error_queue_size = Status::kDefaultQueueSize);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Where the instrument adds its commands, before messages run.
    CommandTree& commands() { return tree_; }
    Status& status() { return status_; }

    // Whether an operation a command started (a hop list) still runs: *OPC?
    // answers, *OPC sets its bit and *WAI lets the message go on once it ends.
    void set_operation_pending(std::function<bool()> pending);

    // Runs one program message (a line without its terminator) as far as it
    // can without waiting. Not to be called while waiting().
    void execute(std::string_view message);
    // A unit waits for its answer: the rest of the message, and the messages
    // after it, wait too.
    bool waiting() const { return waiting_; }
    // Asks the waiting unit again and runs on once it is answered; sets the bit
    // of an *OPC whose operations have ended. Never blocks.
    void poll();
    // The response lines completed so far, each ended by "\n".
    std::string take_output();
    // The controller has gone: the message that waits is dropped, with -410
    // Query INTERRUPTED when a query's answer was owed.
    void abandon();

private:
    enum class Next { Go, Stop, Wait };
    void run();
    Next run_unit(std::string_view text);
    Next ask(const std::function<Reply(const Call&)>& query, const Call& call);
    void finish();
    void add_status_commands();

    CommandTree tree_;
    Status status_;
    std::function<bool()> operation_pending_;
    bool opc_armed_ = false;

    // The message running: its text, units, the next unit, the current path
    // and the responses so far.
    std::string message_;
    std::vector<std::string_view> units_;
    std::size_t next_ = 0;
    std::vector<Mnemonic> path_;
    std::vector<std::string> responses_;
    std::string output_;

    // The unit that waits: *WAI, or a query asked again at each poll.
    bool waiting_ = false;
    std::function<Reply(const Call&)> waiting_query_;
    std::string waiting_header_;
    std::vector<Parameter> waiting_parameters_;
};

}  // namespace scpi
