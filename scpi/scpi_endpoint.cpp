#include "scpi/scpi_endpoint.h"

#include <charconv>
#include <cstring>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace scpi {

namespace {

[[noreturn]] void refuse(std::string_view text, const char* why)
{
    throw std::invalid_argument("\"" + std::string(text) + "\" " + why);
}

}  // namespace

Endpoint parse_endpoint(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        refuse(text, "has no port: ADDRESS:PORT, such as 127.0.0.1:5025 or [::1]:5025");
    std::string_view address = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);

    Endpoint e;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value > 65535)
        refuse(text, "has no port from 0 to 65535");
    e.port = static_cast<std::uint16_t>(value);

    if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
        e.ipv6 = true;
    } else if (address.find(':') != std::string_view::npos) {
        refuse(text, "has an IPv6 address without brackets: [::1]:5025");
    }
    e.address = std::string(address);
    unsigned char bytes[sizeof(in6_addr)];
    if (inet_pton(e.ipv6 ? AF_INET6 : AF_INET, e.address.c_str(), bytes) != 1)
        refuse(text, e.ipv6 ? "has no IPv6 address" : "has no IPv4 address (numeric, such as 127.0.0.1)");
    return e;
}

std::string endpoint_text(const Endpoint& e)
{
    return (e.ipv6 ? "[" + e.address + "]" : e.address) + ":" + std::to_string(e.port);
}

bool is_loopback(const Endpoint& e)
{
    sockaddr_storage a{};
    socket_address(e, a);
    if (e.ipv6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6&>(a).sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&v6);
    }
    return (ntohl(reinterpret_cast<const sockaddr_in&>(a).sin_addr.s_addr) >> 24) == 127;
}

unsigned socket_address(const Endpoint& e, sockaddr_storage& address)
{
    std::memset(&address, 0, sizeof address);
    if (e.ipv6) {
        auto& a = reinterpret_cast<sockaddr_in6&>(address);
        a.sin6_family = AF_INET6;
        a.sin6_port = htons(e.port);
        inet_pton(AF_INET6, e.address.c_str(), &a.sin6_addr);
        return sizeof a;
    }
    auto& a = reinterpret_cast<sockaddr_in&>(address);
    a.sin_family = AF_INET;
    a.sin_port = htons(e.port);
    inet_pton(AF_INET, e.address.c_str(), &a.sin_addr);
    return sizeof a;
}

Endpoint endpoint_of(const sockaddr_storage& address)
{
    Endpoint e;
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET6) {
        const auto& a = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
        e.port = ntohs(a.sin6_port);
        e.ipv6 = true;
    } else {
        const auto& a = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
        e.port = ntohs(a.sin_port);
    }
    e.address = text;
    return e;
}

}  // namespace scpi
