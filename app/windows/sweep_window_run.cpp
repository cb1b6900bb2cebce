// The sweep window's timed run: the board checked, each point written when it
// is due, the progress shown, and the end reported with the main panel left on
// what the chip holds.
#include "app/windows/sweep_window.h"

#include "app/board/bitbang_transmitter.h"
#include "app/board/board_choice.h"
#include "app/board/board_connection.h"
#include "app/panel_settings.h"
#include "app/status_box.h"
#include "app/windows/sweep_table_model.h"
#include "d2xx/statuses.h"
#include "resource/New_Panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>
#include <cstdio>

namespace {

// The table and the progress bar follow a fast sweep this often, not at every point.
constexpr auto kRefreshEvery = std::chrono::milliseconds(50);

// "4100.0000000 MHz (point 2: R 1, M 7, A 2)", with K for the fractional part.
std::string point_words(const SweepPlan& plan, std::size_t i)
{
    const SweepPoint& p = plan.points[i];
    char text[160];
    if (plan.settings.N_flag == ZR3500)
        std::snprintf(text, sizeof text, "%.7f MHz (point %zu: R %u, M %u, A %u, K %u)", p.achieved_mhz, i + 1, p.R,
                      p.M, p.A, p.K);
    else
        std::snprintf(text, sizeof text, "%.7f MHz (point %zu: R %u, M %u, A %u)", p.achieved_mhz, i + 1, p.R, p.M,
                      p.A);
    return text;
}

BoardWrite write_to_board(const uint8_t* bytes, std::size_t length)
{
    DWORD written = 0;
    const FT_STATUS status = write_burst(bytes, static_cast<DWORD>(length), &written);
    return BoardWrite{status == FT_OK, written, status_text(status), write_sent_nothing(status)};
}

}  // namespace

bool SweepWindow::board_ready()
{
    FTDIStatus = FT_CreateDeviceInfoList(&num_devs);
    if (FTDIStatus != FT_OK) {
        const QString status = QString::fromStdString(status_text(FTDIStatus));
        say(tr("The FTDI devices cannot be counted, %1: nothing was sent.").arg(status), true);
        return false;
    }
    if (num_devs == 0 && FTDIHandle)
        notice_unplug();
    if (num_devs == 0 || !FTDIHandle) {
        show_board_notice(false);
        say(QString::fromStdString(nothing_sent_reason(num_devs)).trimmed(), true);
        return false;
    }
    show_board_notice(true);
    return true;
}

bool SweepWindow::start()
{
    if (running_ || !prepare() || !board_ready())
        return false;
    const uint64_t passes = continuous_->isChecked() ? 0 : static_cast<uint64_t>(repeat_->value());
    run_ = std::make_shared<SweepRun>(plan_, dwell_->value(), passes);
    model_->show_run(run_.get());
    board_lost_ = false;
    set_running(true);
    say(tr("Sweeping..."), false);
    shown_at_ = SweepClock::now();
    // The schedule counts from the first turn of the timer, once the press is done with.
    scheduled_ = false;
    arm(SweepClock::duration::zero());
    return true;
}

void SweepWindow::stop()
{
    if (!running_)
        return;
    run_->stop();
    finish();
}

void SweepWindow::arm(SweepClock::duration wait)
{
    // Whole milliseconds: the timer wakes at or a little before the due time,
    // and the last fraction passes in zero-length turns of the event loop.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait).count();
    timer_.start(static_cast<int>(std::clamp<long long>(ms, 0, 1 << 30)));
}

void SweepWindow::tick()
{
    if (!running_ || !run_)
        return;
    if (run_->finished()) {
        finish();
        return;
    }
    if (!FTDIHandle) {
        // The program is closing the board.
        board_lost_ = true;
        run_->stop();
        finish();
        return;
    }
    const SweepClock::time_point now = SweepClock::now();
    if (!scheduled_) {
        run_->start(now);
        scheduled_ = true;
    }
    if (now < run_->next_due()) {
        arm(run_->next_due() - now);
        return;
    }
    if (bursts_written() != bursts_after_last_point_)
        run_->chip_written_elsewhere();  // a press, or another tool, between two points
    const SweepWrite w = run_->write_next(write_to_board);
    bursts_after_last_point_ = bursts_written();
    if (run_->failure())
        notice_unplug();
    if (on_written)
        on_written(w);
    if (!running_)
        return;  // stopped by whoever followed the write
    if (run_->finished()) {
        finish();
        return;
    }
    if (SweepClock::now() - shown_at_ >= kRefreshEvery) {
        show_progress();
        shown_at_ = SweepClock::now();
    }
    arm(run_->next_due() - SweepClock::now());
}

void SweepWindow::show_progress()
{
    if (!run_)
        return;
    const uint64_t total = run_->total_writes();
    const uint64_t writes = run_->writes();
    if (total == 0) {
        const std::size_t points = plan_->points.size();
        progress_->setRange(0, static_cast<int>(points));
        progress_->setValue(static_cast<int>(run_->next_point()));
        progress_->setFormat(tr("%1 points sent, pass %2").arg(writes).arg(writes / points + 1));
    } else {
        progress_->setRange(0, 1000);
        progress_->setValue(static_cast<int>(writes * 1000 / total));
        progress_->setFormat(tr("%1 of %2 points sent").arg(writes).arg(total));
    }
    model_->refresh_written();
}

void SweepWindow::finish()
{
    timer_.stop();
    set_running(false);
    show_progress();
    if (run_->last_point())
        table_->scrollTo(model_->index(static_cast<int>(*run_->last_point()), 0));
    report();
}

void SweepWindow::report()
{
    // The panel's recompute lets events run: a new sweep may replace these.
    const std::shared_ptr<const SweepRun> kept = run_;
    reporting_ = true;
    const SweepRun& run = *kept;
    const SweepPlan& plan = run.plan();
    std::string what;
    if (run.failure())
        what = "Sweep stopped at " + failure_text(plan, *run.failure()) + ".";
    else if (board_lost_)
        what = "Sweep stopped before point " + std::to_string(run.next_point() + 1) + ": " +
               board_absence_words() + ".";
    else
        what = run.stopped() ? "Sweep stopped." : "Sweep ended.";

    const std::string sent = run.writes() == 0   ? std::string("No point was sent whole; ")
                             : run.writes() == 1 ? std::string("1 point sent; ")
                                                 : std::to_string(run.writes()) + " points sent; ";
    const SweepFailure* failure = run.failure() ? &*run.failure() : nullptr;
    const ShortWriteLatch latch = failure ? failure->latched.latch : ShortWriteLatch::Nothing;
    std::string left;
    if (const std::optional<std::size_t> last = run.last_point()) {
        // The panel shows again what the chip holds.
        show_settings_on_panel(settings_at(plan, plan.points[*last]));
        left = sent + "the chip was left at " + point_words(plan, *last) + ".";
    } else if (latch == ShortWriteLatch::Some) {
        if (const std::optional<RegisterSet> mix = mixed_settings_after(plan, *failure)) {
            show_settings_on_panel(*mix);
            const SweepPoint& p = plan.points[failure->point];
            char text[200];
            std::snprintf(text, sizeof text,
                          "the chip holds R %u, M %u, A %u of point %zu with K %u of point %zu, %.7f MHz: the main "
                          "panel shows that.",
                          p.R, p.M, p.A, failure->point + 1, mix->K_reg, *failure->kept_auxiliary_of + 1,
                          mix->new_pll_freq);
            left = sent + text;
        } else {
            left = sent + "the chip holds R, M and A of point " + std::to_string(failure->point + 1) +
                   " with a K the sweep did not send; the main panel is unchanged.";
        }
    } else if (latch == ShortWriteLatch::Unknown && run.last_whole_point()) {
        const std::size_t whole = *run.last_whole_point();
        show_settings_on_panel(settings_at(plan, plan.points[whole]));
        left = sent + "the chip holds " + point_words(plan, whole) + " or some of point " +
               std::to_string(failure->point + 1) + ", which cannot be known; the main panel shows point " +
               std::to_string(whole + 1) + ".";
    } else if (latch == ShortWriteLatch::Unknown) {
        left = "No point was sent whole, and what the chip holds cannot be known; the main panel is unchanged.";
    } else {
        left = "No point was sent; the main panel is unchanged.";
    }
    reporting_ = false;
    panel_base_ = settings_from_panel();
    append_status("%s %s\n", what.c_str(), left.c_str());
    say(QString::fromStdString(what + " " + left), run.failure() || board_lost_);
}
