#include "zrctl/serve/hop_list.h"

void HopList::start(const RegisterSet& settings, SweepClock::time_point now, Rounding rounding)
{
    run_.emplace(std::make_shared<const SweepPlan>(plan_sweep(settings, mhz, rounding)), dwell_ms, count);
    run_->start(now);
}

SweepClock::time_point HopList::next_due() const
{
    return run_ ? run_->next_due() : SweepClock::time_point::max();
}

Hop HopList::write_next(const SweepWriter& write)
{
    Hop hop;
    if (!run_)
        return hop;
    const SweepWrite w = run_->write_next(write);
    const SweepPlan& plan = run_->plan();
    if (w.whole) {
        hop.settings = settings_at(plan, plan.points[w.point]);
        hop.requested_mhz = plan.points[w.point].requested_mhz;
    }
    if (run_->failure()) {
        hop.failure = run_->failure();
        hop.failure_text = failure_text(plan, *hop.failure);
    }
    if (run_->finished())
        run_.reset();
    return hop;
}

void HopList::stop()
{
    run_.reset();
}
