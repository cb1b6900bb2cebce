#pragma once
// A sweep as it runs: which point goes next, in which burst, and when it is due.
// Write k of the run, counting every pass, is due k x dwell after the start,
// whatever the earlier writes took, so lateness never adds up. What is kept does
// not grow with the writes: for each point of the table, how often and when it
// was last written.

#include "wire/short_write.h"
#include "wire/sweep_bursts.h"
#include "model/sweep_plan.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using SweepClock = std::chrono::steady_clock;

// What the board did with a burst.
struct BoardWrite {
    bool ok = false;         // the write call succeeded
    std::size_t written = 0; // the bytes the board took
    std::string status;      // the driver's status, for reports
    // A failed call says nothing of how many bytes went out, unless the driver
    // refused the call before sending any.
    bool sent_nothing = false;
};
using SweepWriter = std::function<BoardWrite(const uint8_t* bytes, std::size_t length)>;

struct PointRecord {
    uint64_t writes = 0;
    SweepClock::duration last_written{};  // since the start of the run
    std::chrono::system_clock::time_point last_written_wall{};
};

// One write of the run, for whoever follows it.
struct SweepWrite {
    uint64_t number = 0;     // from 0, counting every pass
    std::size_t point = 0;   // its index in the plan
    uint64_t pass = 0;       // from 0
    std::size_t bytes = 0;
    bool auxiliary_only = false;
    bool whole = false;      // the board took every byte
    SweepClock::duration due{}, written_at{};  // since the start of the run
};

// The write that ended the run.
struct SweepFailure {
    std::size_t point = 0;
    std::size_t length = 0, written = 0;
    std::string status;  // "" when the call succeeded but the board took fewer bytes
    ShortWrite latched;  // what the chip took of the burst
    // The point whose auxiliary word the chip kept when it latched only this
    // point's main word; none when the sweep had not written one yet.
    std::optional<std::size_t> kept_auxiliary_of;
};

class SweepRun {
public:
    // passes: how many times the table is written; 0 repeats it until stopped.
    SweepRun(std::shared_ptr<const SweepPlan> plan, double dwell_ms, uint64_t passes);

    const SweepPlan& plan() const { return *plan_; }
    uint64_t passes() const { return passes_; }
    SweepClock::duration dwell() const { return dwell_; }

    // The schedule counts from now.
    void start(SweepClock::time_point now);

    // Every pass written, stopped, or a write failed.
    bool finished() const;
    std::size_t next_point() const { return next_point_; }
    SweepClock::time_point next_due() const;

    // Writes the next point's burst; a failed or short write ends the run.
    SweepWrite write_next(const SweepWriter& write);
    void stop() { stopped_ = true; }
    // Something else was written to the board since the last write: the chip's
    // main word is no longer known, and the next point sends its own.
    void chip_written_elsewhere() { chip_known_ = false; }
    bool stopped() const { return stopped_; }
    const std::optional<SweepFailure>& failure() const { return failure_; }

    uint64_t writes() const { return writes_; }  // written whole
    uint64_t bytes() const { return bytes_; }
    // The writes a run of all its passes makes; 0 when it runs until stopped.
    uint64_t total_writes() const;
    // The point the chip holds whole: the one written whole last, or the one whose
    // short write still latched all its words. None when the chip holds no point
    // whole, or when a failed write leaves its state unknown.
    std::optional<std::size_t> last_point() const { return last_point_; }
    // The point written whole last, which the chip held before a failed write.
    std::optional<std::size_t> last_whole_point() const { return last_whole_point_; }
    const std::vector<PointRecord>& records() const { return records_; }
    // The latest any write was against its schedule.
    SweepClock::duration latest() const { return latest_; }

private:
    std::shared_ptr<const SweepPlan> plan_;
    SweepClock::duration dwell_{};
    uint64_t passes_ = 1;
    SweepClock::time_point start_{};
    std::size_t next_point_ = 0;
    uint64_t pass_ = 0;
    uint64_t writes_ = 0;
    uint64_t bytes_ = 0;
    bool stopped_ = false;
    std::optional<SweepFailure> failure_;
    std::optional<std::size_t> last_point_;
    std::optional<std::size_t> last_whole_point_;
    bool chip_known_ = false;  // the chip holds the main word of last_point_
    std::vector<PointRecord> records_;
    SweepClock::duration latest_{};
    SweepBurst burst_;
};

// "point 7 (4006 MHz): the write failed with FT_IO_ERROR (4), 0 of 98 bytes
// written; what the chip latched cannot be known", or "... the write was short:
// 40 of 98 bytes written; the chip latched none of it".
std::string failure_text(const SweepPlan& plan, const SweepFailure& failure);

// The settings the chip holds after a failure that latched only a point's main
// word: that point's R, M and A with the K of the point it kept. None when the
// failure left no such mix, or the K kept is not the sweep's.
std::optional<RegisterSet> mixed_settings_after(const SweepPlan& plan, const SweepFailure& failure);
