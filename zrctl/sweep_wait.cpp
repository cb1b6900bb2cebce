#include "zrctl/sweep_wait.h"

#include <algorithm>
#include <thread>

namespace {

// The last part of a wait is spun rather than slept: a sleep may overrun by
// more than the accuracy a dwell asks for. Sleeping the rest, rather than
// spinning it, keeps the scheduler waking the sweep at once on a busy machine.
// Longer sleeps are cut into slices so that a signal stops the sweep without
// waiting out the dwell.
constexpr auto kSpunWait = std::chrono::microseconds(200);
constexpr auto kSleepSlice = std::chrono::milliseconds(50);

volatile std::sig_atomic_t stop_asked = 0;

extern "C" void ask_to_stop(int)
{
    stop_asked = 1;
}

void catch_signal(int signal, struct sigaction* previous)
{
    sigaction(signal, nullptr, previous);
    if (previous->sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = ask_to_stop;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

}  // namespace

SignalsStopTheSweep::SignalsStopTheSweep()
{
    stop_asked = 0;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        catch_signal(kSignals[i], &previous_[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous_pipe_);
}

SignalsStopTheSweep::~SignalsStopTheSweep()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
    sigaction(SIGPIPE, &previous_pipe_, nullptr);
}

bool wait_until(SweepClock::time_point due)
{
    for (;;) {
        if (stop_asked)
            return false;
        const SweepClock::time_point now = SweepClock::now();
        if (now >= due)
            return true;
        const SweepClock::duration left = due - now;
        if (left > kSpunWait)
            std::this_thread::sleep_for(std::min<SweepClock::duration>(left - kSpunWait, kSleepSlice));
    }
}
