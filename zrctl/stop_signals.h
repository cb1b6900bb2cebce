#pragma once
// While a StopSignals lives, SIGINT, SIGTERM, SIGHUP (the terminal gone) and
// SIGQUIT ask the command that runs on to end in order instead of killing it:
// a sweep after the point being written, a server after closing its client and
// the board. A signal that the shell told the program to ignore (a job started
// with &, nohup) stays ignored. SIGPIPE is ignored while it lives, so that a
// closed output or socket is seen as a failed write.

#include <array>
#include <atomic>
#include <csignal>

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Set by the first of the signals; lock-free, so a handler may set it.
    static const std::atomic<bool>& asked();

private:
    static constexpr std::array<int, 4> kSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

    std::array<struct sigaction, kSignals.size()> previous_{};
    struct sigaction previous_pipe_ {};
};
