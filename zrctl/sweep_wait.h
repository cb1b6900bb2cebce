#pragma once
// How zrctl sweep waits for each point's time, and the signals that end it.

#include "wire/sweep_run.h"

#include <array>
#include <csignal>

// While it lives, SIGINT, SIGTERM, SIGHUP (the terminal gone) and SIGQUIT end
// the sweep after the point being written, so that its table, its file and the
// board are left in order. A signal that the shell told the program to ignore (a
// job started with &) stays ignored. A closed pipe on the output (`| head`) ends
// it the same way: SIGPIPE is ignored, and the failed write of a line is seen.
class SignalsStopTheSweep {
public:
    SignalsStopTheSweep();
    ~SignalsStopTheSweep();
    SignalsStopTheSweep(const SignalsStopTheSweep&) = delete;
    SignalsStopTheSweep& operator=(const SignalsStopTheSweep&) = delete;

private:
    static constexpr std::array<int, 4> kSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

    std::array<struct sigaction, kSignals.size()> previous_{};
    struct sigaction previous_pipe_ {};
};

// Sleeps until close to the due time, then spins to it. False when a signal
// asked to stop first.
bool wait_until(SweepClock::time_point due);
