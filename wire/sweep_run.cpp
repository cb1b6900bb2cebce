#include "wire/sweep_run.h"

#include "model/number_text.h"

#include <cmath>
#include <limits>

SweepRun::SweepRun(std::shared_ptr<const SweepPlan> plan, double dwell_ms, uint64_t passes)
    : plan_(std::move(plan)), passes_(passes), records_(plan_->points.size())
{
    const double ms = dwell_ms >= 0.0 && dwell_ms <= kMaxDwellMs ? dwell_ms : 0.0;
    dwell_ = std::chrono::duration_cast<SweepClock::duration>(
        std::chrono::nanoseconds(static_cast<int64_t>(std::llround(ms * 1e6))));
}

void SweepRun::start(SweepClock::time_point now)
{
    start_ = now;
}

bool SweepRun::finished() const
{
    return stopped_ || failure_ || plan_->points.empty() || (passes_ != 0 && pass_ >= passes_);
}

uint64_t SweepRun::total_writes() const
{
    return passes_ * plan_->points.size();
}

SweepClock::time_point SweepRun::next_due() const
{
    // Write k is due k x dwell after the start: with a day's dwell that passes
    // the clock's range only after centuries of writes, but it must not wrap.
    const auto k = static_cast<SweepClock::rep>(pass_ * plan_->points.size() + next_point_);
    const SweepClock::rep dwell = dwell_.count();
    const SweepClock::rep limit = std::numeric_limits<SweepClock::rep>::max() / 2;
    if (dwell != 0 && k > limit / dwell)
        return SweepClock::time_point::max();
    return start_ + SweepClock::duration(k * dwell);
}

SweepWrite SweepRun::write_next(const SweepWriter& write)
{
    SweepWrite w;
    if (finished())
        return w;
    const SweepPlan& plan = *plan_;
    const SweepPoint& point = plan.points[next_point_];
    const SweepPoint* previous = chip_known_ && last_point_ ? &plan.points[*last_point_] : nullptr;
    build_sweep_burst(plan, point, previous, burst_);

    w.number = pass_ * plan.points.size() + next_point_;
    w.point = next_point_;
    w.pass = pass_;
    w.bytes = burst_.length;
    w.auxiliary_only = burst_.auxiliary_only;
    w.due = next_due() - start_;
    const BoardWrite done = write(burst_.bytes.data(), burst_.length);
    const SweepClock::time_point now = SweepClock::now();
    w.written_at = now - start_;
    w.whole = done.ok && done.written == burst_.length;
    if (!w.whole) {
        const std::size_t written = done.ok ? done.written : 0;
        SweepFailure f{next_point_, burst_.length, written, done.ok ? "" : done.status, {}, {}};
        f.latched = what_the_chip_latched(burst_.bytes.data(), burst_.length, written, done.ok || done.sent_nothing);
        switch (f.latched.latch) {
        case ShortWriteLatch::Nothing: break;
        case ShortWriteLatch::Everything: last_point_ = next_point_; break;
        case ShortWriteLatch::Some:
            if (chip_known_)
                f.kept_auxiliary_of = last_point_;
            last_point_.reset();
            break;
        case ShortWriteLatch::Unknown: last_point_.reset(); break;
        }
        failure_ = std::move(f);
        return w;
    }
    latest_ = std::max(latest_, w.written_at - w.due);
    PointRecord& record = records_[next_point_];
    ++record.writes;
    record.last_written = w.written_at;
    record.last_written_wall = std::chrono::system_clock::now();
    ++writes_;
    bytes_ += burst_.length;
    last_point_ = next_point_;
    last_whole_point_ = next_point_;
    chip_known_ = true;
    if (++next_point_ == plan.points.size()) {
        next_point_ = 0;
        ++pass_;
    }
    return w;
}

std::string failure_text(const SweepPlan& plan, const SweepFailure& f)
{
    std::string text = "point " + std::to_string(f.point + 1);
    if (f.point < plan.points.size())
        text += " (" + number_text(plan.points[f.point].requested_mhz) + " MHz)";
    const std::string counts = std::to_string(f.written) + " of " + std::to_string(f.length) + " bytes written";
    if (f.status.empty())
        return text + ": the write was short: " + counts + "; " + short_write_text(f.latched);
    return text + ": the write failed with " + f.status + ", " + counts + "; " + short_write_text(f.latched);
}

std::optional<RegisterSet> mixed_settings_after(const SweepPlan& plan, const SweepFailure& f)
{
    if (f.latched.latch != ShortWriteLatch::Some || !f.kept_auxiliary_of || f.point >= plan.points.size())
        return std::nullopt;
    SweepPoint mix = plan.points[f.point];
    mix.K = plan.points[*f.kept_auxiliary_of].K;
    return settings_at(plan, mix);
}
