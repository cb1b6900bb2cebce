#pragma once
// A controller on a blocking TCP socket, as a test drives a SCPI server with it:
// lines out, lines in, giving up reading after 5 s.

#include "scpi/scpi_endpoint.h"

#include <string>
#include <string_view>

class ScpiClient {
public:
    // Throws std::system_error when it cannot connect. receive_buffer: the
    // socket's receive buffer, when not 0.
    explicit ScpiClient(const scpi::Endpoint& at, int receive_buffer = 0);
    ~ScpiClient();
    ScpiClient(const ScpiClient&) = delete;
    ScpiClient& operator=(const ScpiClient&) = delete;

    void send(std::string_view text);
    // The next line without its "\n"; "(none)" when none came.
    std::string line();
    // A message and the line that answers it.
    std::string ask(std::string_view message);
    // Whether the server has closed the connection, with nothing left to read.
    bool closed_by_server();

private:
    int fd_ = -1;
    std::string in_;
};
