#include "zrctl/stop_signals.h"

namespace {

std::atomic<bool> stop_asked{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler sets it");

extern "C" void ask_to_stop(int)
{
    stop_asked.store(true);
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

StopSignals::StopSignals()
{
    stop_asked.store(false);
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        catch_signal(kSignals[i], &previous_[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous_pipe_);
}

StopSignals::~StopSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
    sigaction(SIGPIPE, &previous_pipe_, nullptr);
}

const std::atomic<bool>& StopSignals::asked()
{
    return stop_asked;
}
