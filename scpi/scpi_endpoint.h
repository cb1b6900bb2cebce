#pragma once
// Where a server listens, as typed: "127.0.0.1:5025", "[::1]:5025",
// "0.0.0.0:5025". Numeric addresses only, so that what is typed is what is
// bound; port 0 lets the system choose.

#include <cstdint>
#include <string>
#include <string_view>

struct sockaddr_storage;

namespace scpi {

struct Endpoint {
    std::string address;  // "127.0.0.1", "::1"
    std::uint16_t port = 0;
    bool ipv6 = false;
};

// Throws std::invalid_argument with a message that says what is wrong.
Endpoint parse_endpoint(std::string_view text);

// "127.0.0.1:5025", "[::1]:5025".
std::string endpoint_text(const Endpoint& e);

// Reached from this machine only: 127.0.0.0/8 or ::1.
bool is_loopback(const Endpoint& e);

// The socket address of an endpoint parse_endpoint gave, and back; its length.
unsigned socket_address(const Endpoint& e, sockaddr_storage& address);
Endpoint endpoint_of(const sockaddr_storage& address);

}  // namespace scpi
