#include "support/scpi_client.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

ScpiClient::ScpiClient(const scpi::Endpoint& at, int receive_buffer)
{
    sockaddr_storage address;
    const socklen_t length = scpi::socket_address(at, address);
    fd_ = ::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval timeout{5, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (receive_buffer)
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        const int error = errno;
        ::close(fd_);
        throw std::system_error(error, std::generic_category(), "connect");
    }
}

ScpiClient::~ScpiClient()
{
    ::close(fd_);
}

void ScpiClient::send(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL);
        ASSERT_GT(n, 0) << std::strerror(errno);
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string ScpiClient::line()
{
    for (;;) {
        const std::size_t end = in_.find('\n');
        if (end != std::string::npos) {
            const std::string l = in_.substr(0, end);
            in_.erase(0, end + 1);
            return l;
        }
        char chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0)
            return "(none)";
        in_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string ScpiClient::ask(std::string_view message)
{
    send(std::string(message) + "\n");
    return line();
}

bool ScpiClient::closed_by_server()
{
    char c;
    return in_.empty() && ::recv(fd_, &c, 1, 0) == 0;
}
