#include "app/windows/sweep_window.h"

#include "app/board/bitbang_transmitter.h"
#include "app/board/board_connection.h"
#include "wire/sweep_bursts.h"
#include "wire/sweep_csv.h"
#include "d2xx/statuses.h"
#include "app/calculator.h"
#include "app/panel_settings.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "resource/setup_file.h"
#include "app/state_keeping.h"
#include "app/status_box.h"
#include "app/windows/sweep_table_model.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

#include <cmath>
#include <sstream>

namespace {

constexpr const char* kTitle = "Sweep";
constexpr const char* kHowPointsAreSolved =
    "Each point is solved as zrctl solve solves it: from these settings, as a target typed far from the last Fin. "
    "Every burst programs the counters as \"Program Device\" does with ENH at \"Disable (High)\" (ENHBAR 1), "
    "whatever the ENH switch shows. For ZR3500, a point whose main word is unchanged sends only its auxiliary word "
    "(49 bytes instead of 98).";
constexpr const char* kRefusedStyle = "background: #ffd6d6;";
constexpr int kMostRepeats = 1000000;
// The table and the progress bar follow a fast sweep this often, not at every point.
constexpr auto kRefreshEvery = std::chrono::milliseconds(50);
// The table follows the inputs once typing has paused this long.
constexpr int kInputSettleMs = 300;

QPointer<SweepWindow> the_window;

void follow_main_panel()
{
    if (the_window)
        the_window->panel_recomputed();
}

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

// "Mod Select 10/11": a switch of the main panel with the text of its position.
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

QString switch_words(int control, int value)
{
    const ControlDef* c = CtrlDef(MainPanelHandle, control);
    if (!c)
        return {};
    return q(c->label) + QLatin1Char(' ') + q(value == c->on_value ? c->on_text : c->off_text);
}

QString field_words(int control, double value)
{
    const ControlDef* c = CtrlDef(MainPanelHandle, control);
    if (!c)
        return {};
    return q(c->label) + QLatin1Char(' ') + QString::number(value, 'f', c->precision);
}

BoardWrite write_to_board(const uint8_t* bytes, std::size_t length)
{
    DWORD written = 0;
    const FT_STATUS status = write_burst(bytes, static_cast<DWORD>(length), &written);
    return BoardWrite{status == FT_OK, written, status_text(status), write_sent_nothing(status)};
}

}  // namespace

SweepWindow::SweepWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SweepWindow"));
    setWindowTitle(QString::fromLatin1(kTitle));
    build();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    input_settled_.setSingleShot(true);
    input_settled_.setInterval(kInputSettleMs);
    connect(&input_settled_, &QTimer::timeout, this, [this] {
        if (!running_)
            prepare();
    });
    set_running(false);
    prepare();
    set_recompute_listener(follow_main_panel);
}

void SweepWindow::panel_recomputed()
{
    // A sweep moves the panel itself; and what it leaves is no change of the inputs.
    if (running_ || reporting_ || same_sweep_start(settings_from_panel(), panel_base_))
        return;
    panel_base_ = settings_from_panel();
    input_settled_.start();
}

SweepWindow::~SweepWindow()
{
    set_recompute_listener(nullptr);
    timer_.stop();
    model_->show_plan(nullptr, nullptr);
}

void SweepWindow::build()
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    band_ = static_cast<QRadioButton*>(named(new QRadioButton(tr("Band")), "sweep_band"));
    list_mode_ = static_cast<QRadioButton*>(named(new QRadioButton(tr("List")), "sweep_list_mode"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(band_);
    modes->addButton(list_mode_);
    band_->setChecked(true);
    start_ = static_cast<QLineEdit*>(named(new QLineEdit(QStringLiteral("4000")), "sweep_start"));
    stop_ = static_cast<QLineEdit*>(named(new QLineEdit(QStringLiteral("4010")), "sweep_stop"));
    step_ = static_cast<QLineEdit*>(named(new QLineEdit(QStringLiteral("1")), "sweep_step"));
    list_ = static_cast<QPlainTextEdit*>(named(new QPlainTextEdit, "sweep_list"));
    list_->setPlaceholderText(tr("One frequency in MHz a line, or the first column of a CSV file"));
    open_list_ = static_cast<QPushButton*>(named(new QPushButton(tr("Open list...")), "sweep_open_list"));
    dwell_ = static_cast<QDoubleSpinBox*>(named(new QDoubleSpinBox, "sweep_dwell"));
    dwell_->setRange(0.0, kMaxDwellMs);
    dwell_->setDecimals(3);
    dwell_->setValue(100.0);
    dwell_->setSuffix(QStringLiteral(" ms"));
    repeat_ = static_cast<QSpinBox*>(named(new QSpinBox, "sweep_repeat"));
    repeat_->setRange(1, kMostRepeats);
    continuous_ = static_cast<QCheckBox*>(named(new QCheckBox(tr("Continuous, until Stop")), "sweep_continuous"));
    settings_ = static_cast<QLabel*>(named(new QLabel, "sweep_settings"));
    settings_->setWordWrap(true);
    auto* how = new QLabel(QString::fromLatin1(kHowPointsAreSolved));
    how->setWordWrap(true);
    message_ = static_cast<QLabel*>(named(new QLabel, "sweep_message"));
    message_->setWordWrap(true);
    prepare_button_ = static_cast<QPushButton*>(named(new QPushButton(tr("Prepare")), "sweep_prepare"));
    start_button_ = static_cast<QPushButton*>(named(new QPushButton(tr("Start")), "sweep_start_button"));
    stop_button_ = static_cast<QPushButton*>(named(new QPushButton(tr("Stop")), "sweep_stop_button"));
    export_button_ = static_cast<QPushButton*>(named(new QPushButton(tr("Export CSV...")), "sweep_export"));
    progress_ = static_cast<QProgressBar*>(named(new QProgressBar, "sweep_progress"));
    progress_->setTextVisible(true);
    model_ = new SweepTableModel(this);
    table_ = static_cast<QTableView*>(named(new QTableView, "sweep_table"));
    table_->setModel(model_);
    table_->verticalHeader()->hide();
    // Columns sized once a table is built: sizing them to their contents at every
    // refresh of a running sweep would measure a thousand rows each time.
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* band_form = new QFormLayout;
    band_form->addRow(tr("Start (MHz)"), start_);
    band_form->addRow(tr("Stop (MHz)"), stop_);
    band_form->addRow(tr("Step (MHz)"), step_);
    auto* list_column = new QVBoxLayout;
    list_column->addWidget(list_);
    list_column->addWidget(open_list_, 0, Qt::AlignLeft);
    auto* timing = new QFormLayout;
    timing->addRow(tr("Dwell"), dwell_);
    timing->addRow(tr("Repeat"), repeat_);
    timing->addRow(QString(), continuous_);
    auto* inputs = new QGridLayout;
    inputs->addWidget(band_, 0, 0);
    inputs->addWidget(list_mode_, 0, 1);
    inputs->addLayout(band_form, 1, 0, Qt::AlignTop);
    inputs->addLayout(list_column, 1, 1);
    inputs->addLayout(timing, 1, 2, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {prepare_button_, start_button_, stop_button_, export_button_})
        buttons->addWidget(b);
    buttons->addWidget(progress_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addWidget(settings_);
    layout->addWidget(how);
    layout->addLayout(buttons);
    layout->addWidget(message_);
    layout->addWidget(table_, 1);
    list_->setMaximumHeight(110);
    resize(940, 620);

    connect(prepare_button_, &QPushButton::clicked, this, [this] { prepare(); });
    connect(start_button_, &QPushButton::clicked, this, [this] { start(); });
    connect(stop_button_, &QPushButton::clicked, this, [this] { stop(); });
    connect(export_button_, &QPushButton::clicked, this, [this] { export_csv(); });
    connect(open_list_, &QPushButton::clicked, this, [this] { open_list(); });
    const auto input_changed = [this] { input_settled_.start(); };
    for (QLineEdit* e : {start_, stop_, step_})
        connect(e, &QLineEdit::textChanged, this, input_changed);
    connect(list_, &QPlainTextEdit::textChanged, this, input_changed);
    connect(band_, &QRadioButton::toggled, this, input_changed);
    connect(continuous_, &QCheckBox::toggled, repeat_, &QSpinBox::setDisabled);
}

QString SweepWindow::message() const
{
    return message_->text();
}

void SweepWindow::say(const QString& text, bool problem)
{
    message_->setText(text);
    message_->setStyleSheet(problem ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
}

void SweepWindow::describe_settings(const RegisterSet& s)
{
    QStringList words;
    words << QString::fromStdString(part_menu_name(s.N_flag))
          << field_words(PANEL_REF_FREQ, s.ref_freq) << QStringLiteral("R = %1").arg(s.R_reg)
          << switch_words(PANEL_SEC_4, s.prescaler_en);
    if (s.prescaler_en == 0)
        words << switch_words(PANEL_MOD_SEL, s.MOD_SEL);
    if (s.N_flag == ZR3500)
        words << switch_words(PANEL_MASH, s.MASH) << switch_words(PANEL_LNM, s.LNM)
              << switch_words(PANEL_RAND_EN, s.RAND_EN);
    settings_->setText(tr("From the main panel as it stands: ") + words.join(QStringLiteral(", ")) +
                       QLatin1Char('.'));
}

void SweepWindow::show_refusal(const SweepRefusal& r)
{
    QWidget* field = nullptr;
    QString where;
    switch (r.input) {
    case SweepInput::Start: field = start_; where = tr("Start (MHz)"); break;
    case SweepInput::Stop: field = stop_; where = tr("Stop (MHz)"); break;
    case SweepInput::Step: field = step_; where = tr("Step (MHz)"); break;
    case SweepInput::List: field = list_; where = tr("List"); break;
    }
    if (r.line > 0) {
        where += tr(", line %1").arg(r.line);
        QTextCursor cursor(list_->document()->findBlockByNumber(static_cast<int>(r.line) - 1));
        cursor.select(QTextCursor::LineUnderCursor);
        list_->setTextCursor(cursor);
    }
    if (r.line > 0 || r.input != SweepInput::List)
        where += QStringLiteral(" \"%1\"").arg(q(r.text));
    field->setStyleSheet(QString::fromLatin1(kRefusedStyle));
    say(tr("Refused, nothing sent: %1: %2.").arg(where, q(r.why)), true);
}

bool SweepWindow::prepare()
{
    if (running_)
        return false;
    const ControlDef* field = CtrlDef(MainPanelHandle, PANEL_PLL_FREQ);
    if (!field)
        return false;
    const FrequencyField out_freq{field->minimum, field->maximum, field->label};
    const SweepFrequencies f =
        band_->isChecked()
            ? band_frequencies(start_->text().toStdString(), stop_->text().toStdString(),
                               step_->text().toStdString(), out_freq)
            : list_frequencies(list_->toPlainText().toStdString(), out_freq);
    for (QWidget* w : std::initializer_list<QWidget*>{start_, stop_, step_, list_})
        w->setStyleSheet(QString());
    input_settled_.stop();
    model_->show_plan(nullptr, nullptr);
    run_.reset();
    progress_->reset();
    if (f.refusal) {
        plan_.reset();
        show_refusal(*f.refusal);
        return false;
    }
    panel_base_ = settings_from_panel();
    plan_ = std::make_shared<const SweepPlan>(plan_sweep(panel_base_, f.mhz));
    model_->show_plan(plan_, nullptr);
    const bool fractional = plan_->settings.N_flag == ZR3500;
    table_->setColumnHidden(SweepTableModel::K, !fractional);
    table_->setColumnHidden(SweepTableModel::AuxiliaryWord, !fractional);
    table_->resizeColumnsToContents();
    describe_settings(plan_->settings);
    say(tr("%n point(s) ready.", nullptr, static_cast<int>(plan_->points.size())), false);
    return true;
}

bool SweepWindow::board_ready()
{
    FTDIStatus = FT_CreateDeviceInfoList(&num_devs);
    if (FTDIStatus != FT_OK) {
        say(tr("The FTDI devices cannot be counted, %1: nothing was sent.").arg(q(status_text(FTDIStatus))), true);
        return false;
    }
    if (num_devs == 0) {
        show_board_notice(false);
        say(tr("The USB interface board is not connected: nothing was sent. Connect it and restart the program."),
            true);
        return false;
    }
    if (!FTDIHandle) {
        show_board_notice(false);
        say(tr("The interface board was not opened at start-up: nothing was sent. Restart the program to use it."),
            true);
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
        what = "Sweep stopped before point " + std::to_string(run.next_point() + 1) +
               ": the interface board was closed.";
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
    say(q(what + " " + left), run.failure() || board_lost_);
}

void SweepWindow::set_running(bool running)
{
    running_ = running;
    for (QWidget* w : std::initializer_list<QWidget*>{band_, list_mode_, start_, stop_, step_, list_, open_list_,
                                                       dwell_, continuous_, prepare_button_, start_button_,
                                                       export_button_})
        w->setEnabled(!running);
    repeat_->setEnabled(!running && !continuous_->isChecked());
    stop_button_->setEnabled(running);
}

void SweepWindow::open_list()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open a list of frequencies"), QStringLiteral("."),
                                     tr("Lists (*.csv *.txt);;All files (*)"), nullptr,
                                     QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    std::string text, why;
    if (read_regular_file(path.toStdString(), kListFileLimit, &text, &why) != ReadOutcome::Ok) {
        say(tr("%1 cannot be read: %2").arg(path, q(why)), true);
        return;
    }
    // A list that cannot be one is refused before the editor has to lay it out.
    if (const std::optional<SweepRefusal> r = list_too_large(text)) {
        const QString where = r->line > 0 ? tr(", line %1").arg(r->line) : QString();
        say(tr("Refused, nothing loaded: %1%2: %3.").arg(path, where, q(r->why)), true);
        return;
    }
    list_->setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    list_mode_->setChecked(true);
    prepare();
}

void SweepWindow::export_csv()
{
    if (!plan_ && !prepare())
        return;
    std::string path;
    if (FileSelectPopup(".", "sweep.csv", "Export the sweep table", &path) != 1 ||
        refused_as_own_file(path, "Export CSV", "the table"))
        return;
    std::ostringstream text;
    write_sweep_csv(text, *plan_, run_.get());
    std::string why;
    if (replace_file(path, text.str(), &why))
        say(tr("The table was exported to %1.").arg(q(path)), false);
    else
        say(tr("The table was not exported to %1: %2").arg(q(path), q(why)), true);
}

void SweepWindow::closeEvent(QCloseEvent* event)
{
    stop();
    event->accept();
}

SweepWindow* open_sweep_window()
{
    if (!the_window)
        the_window = new SweepWindow(PanelWindow(MainPanelHandle));
    the_window->show();
    the_window->raise();
    the_window->activateWindow();
    return the_window;
}

SweepWindow* sweep_window()
{
    return the_window;
}
