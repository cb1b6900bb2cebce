// zrctl --simulated-board serve as a process, driven through its socket: the
// PyVISA script of a bench, bad input of every kind, a client killed in the
// middle of a list, and the signals that end it. What the board received is its
// write log, each burst read by the chip-side decoder.
#include "support/scpi_client.h"

#include "wire/burst_decoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Words = std::vector<uint32_t>;

constexpr uint32_t kMainWord4300 = 0x000E2C;  // R 1, M 7, A 6 of the README's worked example

uint32_t auxiliary_word(uint32_t K)
{
    return K << 3 | 1;
}

Bytes bytes_of(const std::string& hex)
{
    Bytes bytes;
    std::istringstream in(hex);
    unsigned byte = 0;
    while (in >> std::hex >> byte)
        bytes.push_back(static_cast<uint8_t>(byte));
    return bytes;
}

// A program started with its stderr read here and its stdout to a file.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {})
    {
        int pipe_fds[2];
        if (::pipe2(pipe_fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        err_fd_ = pipe_fds[0];
        out_path_ = testing::TempDir() + "serve-child-" + std::to_string(::getpid()) + "-" + std::to_string(++count_);
        // Signals the tests' runner ignores are the child's to take.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 2);
        posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::vector<std::string> env_text(environment);
        for (char** e = environ; *e; ++e)
            env_text.emplace_back(*e);
        std::vector<char*> env;
        for (std::string& e : env_text)
            env.push_back(e.data());
        env.push_back(nullptr);
        const int spawned = posix_spawn(&pid_, argv[0].c_str(), &actions, &attributes, args.data(), env.data());
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ::close(pipe_fds[1]);
        if (spawned != 0)
            throw std::runtime_error("cannot start " + argv[0]);
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(err_fd_);
        std::remove(out_path_.c_str());
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads stderr until it holds text, or the time is up; whether it does.
    bool said(const std::string& text, std::chrono::milliseconds within = 10s)
    {
        const auto until = std::chrono::steady_clock::now() + within;
        while (err.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{err_fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0 || !read_some())
                return err.find(text) != std::string::npos;
        }
        return true;
    }
    // Sends the signal and waits for the end: the exit status, -1 when a signal ended it.
    int end(int signal)
    {
        if (signal)
            ::kill(pid_, signal);
        while (read_some()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out() const
    {
        std::ifstream in(out_path_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string err;

private:
    bool read_some()
    {
        char chunk[4096];
        const ssize_t n = ::read(err_fd_, chunk, sizeof chunk);
        if (n <= 0)
            return false;
        err.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int err_fd_ = -1;
    std::string out_path_;
    static inline int count_ = 0;
};

// zrctl --simulated-board serve with its write log, once it says where it listens.
class ServeProcess {
public:
    explicit ServeProcess(std::vector<std::string> options = {"--listen", "127.0.0.1:0"})
        : log_(testing::TempDir() + "serve-log-" + std::to_string(::getpid()) + "-" + std::to_string(++count_))
    {
        std::remove(log_.c_str());
        std::vector<std::string> argv{ZRCTL_PATH, "--simulated-board", "serve"};
        argv.insert(argv.end(), options.begin(), options.end());
        child_.emplace(argv, std::vector<std::string>{"ZRCTL_SIMULATED_BOARD_LOG=" + log_});
        if (!child_->said(" for one client at a time"))
            throw std::runtime_error("zrctl serve did not say where it listens: " + child_->err);
        const std::string& err = child_->err;
        const std::size_t at = err.find("listening at ") + 13;
        const std::size_t colon = err.rfind(':', err.find(" for one client", at));
        port = static_cast<uint16_t>(std::stoi(err.substr(colon + 1)));
    }
    ~ServeProcess() { std::remove(log_.c_str()); }

    scpi::Endpoint endpoint() const { return {"127.0.0.1", port, false}; }
    // A client that controls the instrument, once the last one has gone.
    std::unique_ptr<ScpiClient> controller()
    {
        for (int i = 0; i < 500; ++i) {
            auto c = std::make_unique<ScpiClient>(endpoint());
            if (c->ask("*IDN?").rfind("Corvane,", 0) == 0)
                return c;
            std::this_thread::sleep_for(10ms);
        }
        throw std::runtime_error("no client got control");
    }
    int stop(int signal = SIGTERM) { return child_->end(signal); }
    const std::string& err() const { return child_->err; }
    // Every burst the board was handed, once the server has stopped.
    std::vector<Bytes> bursts() const
    {
        std::vector<Bytes> all;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);)
            all.push_back(bytes_of(line));
        return all;
    }

    uint16_t port = 0;

private:
    std::string log_;
    std::optional<Child> child_;
    static inline int count_ = 0;
};

Words latched(const Bytes& burst)
{
    const ChipReception r = decode_burst(burst);
    EXPECT_EQ(r.fault, "") << "a burst the chip would not take whole";
    return r.latched_words;
}

std::string code_of(const std::string& error)
{
    return error.substr(0, error.find(','));
}

}  // namespace

TEST(ZrctlServe, APyVisaScriptSetsAFrequencyReadsItBackAndStepsAList)
{
    ServeProcess server;
    Child client({ZR_PYTHON3, PYVISA_CLIENT, std::to_string(server.port)});
    EXPECT_EQ(client.end(0), 0) << client.err;

    std::vector<Bytes> seen;  // what DIAGnostic:BURSt? said after each write
    std::istringstream lines(client.out());
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("burst ", 0) == 0)
            seen.push_back(bytes_of(line.substr(6)));

    EXPECT_EQ(server.stop(SIGTERM), 0) << server.err();
    EXPECT_NE(server.err().find("zrctl serve: stopped; FTDI device 0 (SIMULATED) and the sockets closed"),
              std::string::npos)
        << server.err();
    const std::vector<Bytes> bursts = server.bursts();
    EXPECT_EQ(bursts, seen) << "the board received what the script was told";
    ASSERT_EQ(bursts.size(), 6u);
    EXPECT_EQ(latched(bursts[0]), (Words{kMainWord4300, auxiliary_word(110100)})) << "4321 MHz";
    EXPECT_EQ(latched(bursts[1]), (Words{kMainWord4300, auxiliary_word(0)})) << "4300 MHz, the list's first point";
    const uint32_t K[] = {1310, 2621, 3932, 5242};  // 4300.25 to 4301 MHz: the fraction of N x 2^18, truncated
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(latched(bursts[i + 2]), Words{auxiliary_word(K[i])}) << "point " << i + 2;
}

TEST(ZrctlServe, BadInputThroughTheSocketNeitherStopsTheServerNorReachesTheBoard)
{
    ServeProcess server;
    {
        ScpiClient c(server.endpoint());
        struct Bad {
            std::string line;
            const char* code;
        };
        const Bad bad[] = {
            {"FROB 3", "-113"},
            {"SYSTEM:FROBNICATE?", "-113"},
            {"FREQ", "-109"},
            {"FREQ 1MHz,2MHz", "-108"},
            {"*IDN? 3", "-108"},
            {"FREQ 1e308", "-222"},
            {"FREQ 1e999", "-222"},
            {"FREQ NaN", "-222"},
            {"FREQ -4321MHz", "-222"},
            {"LIST:FREQ 4000MHz,-1MHz", "-222"},
            {std::string("FREQ") + '\0' + "\xff\x80 4321MHz", "-101"},
            {"\x1b[2J\x7f\x01 *RST", "-101"},
        };
        for (const Bad& b : bad) {
            c.send(b.line + "\n");
            EXPECT_EQ(code_of(c.ask("SYST:ERR?")), b.code) << b.line;
            EXPECT_EQ(c.ask("*CLS;SYST:ERR:COUN?"), "0");
        }
        c.send(std::string(1 << 20, 'F') + "\n");
        EXPECT_EQ(code_of(c.ask("SYST:ERR?")), "-363") << "a 1 MiB line";
        EXPECT_EQ(c.ask("SYST:ERR?"), "0,\"No error\"");

        // Connections while it controls the board are turned away.
        for (int i = 0; i < 200; ++i) {
            ScpiClient other(server.endpoint());
            if (i % 50 == 0) {
                EXPECT_EQ(code_of(other.line()), "-200");
            }
        }
        EXPECT_EQ(c.ask("*OPC?"), "1");
    }
    // 200 connections opened and dropped, each one controlling the board for a moment.
    for (int i = 0; i < 200; ++i)
        ScpiClient dropped(server.endpoint());

    auto c = server.controller();
    EXPECT_EQ(c->ask("PART ZR3500;PRESC 10;FREQ 4321MHz;SYST:ERR?"), "0,\"No error\"");
    EXPECT_EQ(server.stop(SIGTERM), 0) << server.err();
    const std::vector<Bytes> bursts = server.bursts();
    ASSERT_EQ(bursts.size(), 1u) << "only the one good FREQ reached the board";
    EXPECT_EQ(latched(bursts[0]), (Words{kMainWord4300, auxiliary_word(110100)}));
}

TEST(ZrctlServe, AClientKilledInTheMiddleOfAListLeavesWholeBurstsAndTheNextIsServed)
{
    ServeProcess server;
    // 40 points from 4300 MHz by 0.1 MHz, all on the main word of M 7, A 6; five passes, 2 ms apart.
    std::string points;
    for (int i = 0; i < 40; ++i)
        points += (i ? "," : "") + std::to_string(43000 + i) + "00kHz";
    const std::string message = "PART ZR3500;PRESC 10;LIST:FREQ " + points + ";DWEL 2ms;COUN 5;:INIT;*OPC?";
    {
        Child killed({ZR_PYTHON3, "-c",
                      "import socket, sys, time\n"
                      "s = socket.create_connection(('127.0.0.1', int(sys.argv[1])))\n"
                      "s.sendall(sys.argv[2].encode() + b'\\n')\n"
                      "print('sent', flush=True)\n"
                      "time.sleep(60)\n",
                      std::to_string(server.port), message});
        for (int i = 0; i < 500 && killed.out().find("sent") == std::string::npos; ++i)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(killed.end(SIGKILL), -1);
    }
    auto c = server.controller();
    EXPECT_EQ(c->ask("LIST:POIN?"), "40") << "the killed client's list";
    EXPECT_EQ(c->ask("*OPC?"), "1") << "the list runs on to its end";
    for (std::string e = c->ask("SYST:ERR?"); e != "0,\"No error\""; e = c->ask("SYST:ERR?"))
        EXPECT_EQ(code_of(e), "-410") << "only the answer the killed client was owed is lost: " << e;
    EXPECT_EQ(server.stop(SIGINT), 0) << server.err();

    const std::vector<Bytes> bursts = server.bursts();
    ASSERT_EQ(bursts.size(), 200u);
    for (std::size_t k = 0; k < bursts.size(); ++k) {
        const uint32_t K = static_cast<uint32_t>(((k % 40) * 0.1e6) / (50e6 * 2 / 524288.0));
        const Words expected = k == 0 ? Words{kMainWord4300, auxiliary_word(K)} : Words{auxiliary_word(K)};
        ASSERT_EQ(latched(bursts[k]), expected) << "write " << k;
    }
}

TEST(ZrctlServe, ListeningBeyondThisMachineIsSaidWithAWarning)
{
    ServeProcess server({"--listen", "0.0.0.0:0"});
    EXPECT_NE(server.err().find("warning: 0.0.0.0:"), std::string::npos) << server.err();
    EXPECT_NE(server.err().find("SCPI has no authentication"), std::string::npos);
    EXPECT_EQ(server.controller()->ask("*OPC?"), "1");
    EXPECT_EQ(server.stop(SIGTERM), 0);

    ServeProcess loopback;
    EXPECT_EQ(loopback.err().find("warning"), std::string::npos) << loopback.err();
    EXPECT_EQ(loopback.stop(SIGHUP), 0);
}
