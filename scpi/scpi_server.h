#pragma once
// SCPI over a TCP socket, as VISA's TCPIP::host::port::SOCKET resources speak
// it: program messages as lines ended by "\n" ("\r\n" is taken too), one
// response line per message with queries. One controlling client at a time; a
// connection while it is there is told so in an error line and closed. One
// thread, poll(), no thread per client.
//
// Nothing a client sends stops the server: a line longer than max_line is
// dropped (-363 Input buffer overrun) and what follows it up to its "\n"
// discarded unread; a line left unfinished for line_timeout is dropped (-365
// Time out error); invalid bytes are the parser's errors. A client that reads
// nothing while its responses pile up is dropped after reader_timeout.

#include "scpi/scpi_endpoint.h"
#include "scpi/scpi_engine.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <poll.h>

namespace scpi {

struct ServerOptions {
    std::size_t max_line = 64 * 1024;
    std::chrono::milliseconds line_timeout{30000};
    // Responses kept for a client that does not read: past this, no more of its
    // messages run until it reads.
    std::size_t max_output = 1024 * 1024;
    std::chrono::milliseconds reader_timeout{30000};
    // How soon a stop is seen when nothing else happens.
    std::chrono::milliseconds stop_check{100};
};

class Server {
public:
    // Listens at once; throws std::system_error when it cannot.
    Server(Engine& engine, const Endpoint& listen, ServerOptions options = {});
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Where it listens, with the port the system chose for port 0.
    Endpoint local() const;

    // Serves until stop is set (a lock-free atomic: a signal handler may set
    // it), then closes the client's connection. Throws std::system_error when
    // poll() fails for another reason than a signal.
    void run(const std::atomic<bool>& stop);

    // Called between the events of the loop, first at once, then again after
    // the time it returns (for timing the points of a hop list), or as soon as a
    // message has run, which may have started timed work.
    std::function<std::chrono::milliseconds()> tick;
    // A line on what happened to a connection: who came, left, was refused.
    std::function<void(const std::string&)> log;

private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        int fd = -1;
        std::string peer;
        std::string in;
        std::string out;
        bool discarding = false;  // the rest of an overlong line, up to its "\n"
        Clock::time_point last_input;
        Clock::time_point last_output;  // the last time it took a response, or one was due
        std::string gone;               // why it is to be closed
    };
    struct Refused {
        int fd;
        Clock::time_point until;
    };

    void accept_all();
    void read_client();
    void take(const char* data, std::size_t size);
    void serve_lines();
    void write_client();
    void check_timeouts(Clock::time_point now);
    void close_client();
    void drain_refused(std::span<const pollfd> fds, Clock::time_point now);
    int wait_ms(Clock::time_point now, Clock::time_point next_tick) const;
    void say(const std::string& line) const;

    Engine& engine_;
    ServerOptions options_;
    int listener_ = -1;
    std::optional<Client> client_;
    std::vector<Refused> refused_;
    std::vector<char> chunk_;
    bool message_ran_ = false;
};

}  // namespace scpi
