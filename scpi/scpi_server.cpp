#include "scpi/scpi_server.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <system_error>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace scpi {

namespace {

using std::chrono::milliseconds;

constexpr std::size_t kChunk = 64 * 1024;
// A connection refused while another client controls the instrument is read
// and thrown away for a while after its error line, so that what it had sent
// first does not make the close a reset that loses the line.
constexpr milliseconds kRefusedLinger{1000};
constexpr std::size_t kMaxRefused = 32;

const std::string& busy_line()
{
    static const std::string line =
        error_response({Error::Execution, "another client controls the instrument"}) + "\n";
    return line;
}

std::string ms_text(milliseconds ms)
{
    return std::to_string(ms.count()) + " ms";
}

std::string failure_text(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

Server::Server(Engine& engine, const Endpoint& listen, ServerOptions options)
    : engine_(engine), options_(options), chunk_(kChunk)
{
    listener_ = ::socket(listen.ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener_ < 0)
        throw std::system_error(errno, std::generic_category(), "cannot open a socket");
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (listen.ipv6)
        ::setsockopt(listener_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    sockaddr_storage address;
    const socklen_t length = socket_address(listen, address);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(listener_);
        throw std::system_error(error, std::generic_category(), "cannot listen at " + endpoint_text(listen));
    }
}

Server::~Server()
{
    if (client_)
        ::close(client_->fd);
    for (const Refused& r : refused_)
        ::close(r.fd);
    ::close(listener_);
}

Endpoint Server::local() const
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    return endpoint_of(address);
}

void Server::say(const std::string& line) const
{
    if (log)
        log(line);
}

void Server::run(const std::atomic<bool>& stop)
{
    Clock::time_point next_tick = Clock::now();
    std::vector<pollfd> fds;
    while (!stop.load()) {
        Clock::time_point now = Clock::now();
        if (message_ran_) {
            message_ran_ = false;
            next_tick = now;
        }
        if (tick && now >= next_tick) {
            const milliseconds wait = tick();
            now = Clock::now();
            next_tick = now + std::max(wait, milliseconds(0));
        }
        if (client_) {
            serve_lines();
            write_client();
            check_timeouts(now);
            if (!client_->gone.empty())
                close_client();
        }

        fds.assign(1, {listener_, POLLIN, 0});
        if (client_) {
            const short reading = client_->in.size() <= options_.max_line ? POLLIN : 0;
            fds.push_back({client_->fd, static_cast<short>(reading | (client_->out.empty() ? 0 : POLLOUT)), 0});
        }
        for (const Refused& r : refused_)
            fds.push_back({r.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), wait_ms(now, next_tick)) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "poll");
        }

        std::size_t i = 1;
        if (client_) {
            const short events = fds[i++].revents;
            if (events & (POLLIN | POLLHUP | POLLERR))
                read_client();
            if ((events & POLLOUT) && client_->gone.empty())
                write_client();
            if (!client_->gone.empty())
                close_client();
        }
        drain_refused(std::span<const pollfd>(fds).subspan(i), Clock::now());
        if (fds[0].revents & POLLIN)
            accept_all();
    }
    if (client_) {
        client_->gone = "closed: the server stops";
        close_client();
    }
}

int Server::wait_ms(Clock::time_point now, Clock::time_point next_tick) const
{
    if (message_ran_ && tick)
        return 0;
    Clock::time_point until = now + options_.stop_check;
    if (tick)
        until = std::min(until, next_tick);
    if (client_) {
        const Client& c = *client_;
        if (c.discarding || (!c.in.empty() && c.in.back() != '\n'))
            until = std::min(until, c.last_input + options_.line_timeout);
        if (!c.out.empty())
            until = std::min(until, c.last_output + options_.reader_timeout);
    }
    for (const Refused& r : refused_)
        until = std::min(until, r.until);
    const auto ms = std::chrono::ceil<milliseconds>(until - now).count();
    return static_cast<int>(std::max<decltype(ms)>(ms, 0));
}

void Server::accept_all()
{
    for (;;) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(listener_, reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                say(failure_text("a connection could not be taken"));
            return;
        }
        const std::string peer = endpoint_text(endpoint_of(address));
        if (!client_) {
            // A response goes out at once, not held back to join the next one.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            client_.emplace();
            client_->fd = fd;
            client_->peer = peer;
            client_->last_input = client_->last_output = Clock::now();
            say(peer + " connected and controls the instrument");
            continue;
        }
        ::send(fd, busy_line().data(), busy_line().size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        say(peer + " refused: " + client_->peer + " controls the instrument");
        if (refused_.size() < kMaxRefused && ::shutdown(fd, SHUT_WR) == 0)
            refused_.push_back({fd, Clock::now() + kRefusedLinger});
        else
            ::close(fd);
    }
}

void Server::drain_refused(std::span<const pollfd> fds, Clock::time_point now)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < refused_.size(); ++i) {
        bool done = now >= refused_[i].until;
        if (!done && i < fds.size() && fds[i].revents) {
            const ssize_t n = ::recv(refused_[i].fd, chunk_.data(), chunk_.size(), 0);
            done = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
        }
        if (done)
            ::close(refused_[i].fd);
        else
            refused_[kept++] = refused_[i];
    }
    refused_.resize(kept);
}

void Server::read_client()
{
    const ssize_t n = ::recv(client_->fd, chunk_.data(), chunk_.size(), 0);
    if (n > 0)
        take(chunk_.data(), static_cast<std::size_t>(n));
    else if (n == 0)
        client_->gone = "left";
    else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        client_->gone = "closed: " + failure_text("its connection failed");
}

void Server::take(const char* data, std::size_t size)
{
    Client& c = *client_;
    c.last_input = Clock::now();
    std::string_view rest(data, size);
    if (c.discarding) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos)
            return;
        rest.remove_prefix(end + 1);
        c.discarding = false;
    }
    c.in.append(rest);
    serve_lines();
    const std::size_t last_end = c.in.rfind('\n');
    const std::size_t line_start = last_end == std::string::npos ? 0 : last_end + 1;
    if (c.in.size() - line_start > options_.max_line) {
        c.in.resize(line_start);
        c.discarding = true;
        engine_.status().report(Error::InputBufferOverrun, "a line over " + std::to_string(options_.max_line) +
                                                               " bytes");
    }
}

void Server::serve_lines()
{
    Client& c = *client_;
    std::size_t consumed = 0;
    for (;;) {
        engine_.poll();
        const std::string responses = engine_.take_output();
        if (!responses.empty()) {
            if (c.out.empty())
                c.last_output = Clock::now();
            c.out += responses;
        }
        if (engine_.waiting() || c.out.size() > options_.max_output)
            break;
        const std::size_t end = c.in.find('\n', consumed);
        if (end == std::string::npos)
            break;
        std::string_view line(c.in.data() + consumed, end - consumed);
        consumed = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > options_.max_line)
            engine_.status().report(Error::InputBufferOverrun, "a line of " + std::to_string(line.size()) + " bytes");
        else
            engine_.execute(line);
        message_ran_ = true;
    }
    c.in.erase(0, consumed);
}

void Server::write_client()
{
    Client& c = *client_;
    while (!c.out.empty() && c.gone.empty()) {
        const ssize_t n = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c.out.erase(0, static_cast<std::size_t>(n));
            c.last_output = Clock::now();
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else if (!(n < 0 && errno == EINTR)) {
            c.gone = "closed: " + failure_text("its connection failed");
        }
    }
}

void Server::check_timeouts(Clock::time_point now)
{
    Client& c = *client_;
    const bool mid_line = c.discarding || (!c.in.empty() && c.in.back() != '\n');
    if (mid_line && c.in.size() <= options_.max_line && now - c.last_input >= options_.line_timeout) {
        const std::size_t last_end = c.in.rfind('\n');
        c.in.resize(last_end == std::string::npos ? 0 : last_end + 1);
        c.discarding = false;
        engine_.status().report(Error::TimeOut, "a line left unfinished for " + ms_text(options_.line_timeout));
    }
    if (!c.out.empty() && now - c.last_output >= options_.reader_timeout)
        c.gone = "dropped: it read no response for " + ms_text(options_.reader_timeout);
}

void Server::close_client()
{
    say(client_->peer + " " + client_->gone);
    ::close(client_->fd);
    client_.reset();
    engine_.abandon();
}

}  // namespace scpi
