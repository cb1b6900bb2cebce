#include "zrctl/sweep_wait.h"

#include "zrctl/stop_signals.h"

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

}  // namespace

bool wait_until(SweepClock::time_point due)
{
    for (;;) {
        if (StopSignals::asked().load())
            return false;
        const SweepClock::time_point now = SweepClock::now();
        if (now >= due)
            return true;
        const SweepClock::duration left = due - now;
        if (left > kSpunWait)
            std::this_thread::sleep_for(std::min<SweepClock::duration>(left - kSpunWait, kSleepSlice));
    }
}
