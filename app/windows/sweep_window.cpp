// The sweep window: its inputs, the table of points built from them and the main
// panel, and the list and table files. The timed run is in sweep_window_run.cpp.
#include "app/windows/sweep_window.h"

#include "wire/sweep_csv.h"
#include "app/calculator.h"
#include "app/panel_settings.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_files/file_io.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "resource/setup_file.h"
#include "app/state_keeping.h"
#include "app/windows/sweep_table_model.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
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
#include <optional>
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
    round_ = static_cast<QComboBox*>(named(new QComboBox, "sweep_round"));
    round_->addItem(tr("Down, as the panel solves"), static_cast<int>(Rounding::Down));
    round_->addItem(tr("Nearest channel"), static_cast<int>(Rounding::Nearest));
    round_->setToolTip(tr("Down truncates each target as the panel does, so a point may lie up to a channel below "
                          "it; Nearest takes the channel closest to it (of two equally close, the lower)."));
    loop_bw_ = static_cast<QLineEdit*>(named(new QLineEdit, "sweep_loop_bw"));
    loop_bw_->setPlaceholderText(tr("none"));
    loop_bw_->setToolTip(tr("The loop bandwidth in kHz: an integer-boundary spur at or within it from the carrier "
                            "is marked in the table, as the loop passes it to the output."));
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
    timing->addRow(tr("Rounding"), round_);
    timing->addRow(tr("Loop bandwidth (kHz)"), loop_bw_);
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
    connect(round_, &QComboBox::currentIndexChanged, this, input_changed);
    connect(loop_bw_, &QLineEdit::textChanged, this, input_changed);
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
    for (QWidget* w : std::initializer_list<QWidget*>{start_, stop_, step_, list_, loop_bw_})
        w->setStyleSheet(QString());
    input_settled_.stop();
    std::optional<double> loop_bw_hz;
    if (!loop_bw_->text().trimmed().isEmpty()) {
        bool number = false;
        const double khz = loop_bw_->text().trimmed().toDouble(&number);
        if (!number || !(khz > 0.0) || !std::isfinite(khz)) {
            plan_.reset();
            model_->show_plan(nullptr, nullptr);
            loop_bw_->setStyleSheet(QString::fromLatin1(kRefusedStyle));
            say(tr("Refused: Loop bandwidth (kHz) \"%1\": a number of kHz above 0, or nothing.")
                    .arg(loop_bw_->text()),
                true);
            return false;
        }
        loop_bw_hz = khz * 1e3;
    }
    model_->show_plan(nullptr, nullptr);
    run_.reset();
    progress_->reset();
    if (f.refusal) {
        plan_.reset();
        show_refusal(*f.refusal);
        return false;
    }
    panel_base_ = settings_from_panel();
    const auto rounding = static_cast<Rounding>(round_->currentData().toInt());
    plan_ = std::make_shared<const SweepPlan>(plan_sweep(panel_base_, f.mhz, rounding));
    model_->set_loop_bandwidth(loop_bw_hz);
    model_->show_plan(plan_, nullptr);
    const bool fractional = plan_->settings.N_flag == ZR3500;
    table_->setColumnHidden(SweepTableModel::K, !fractional);
    table_->setColumnHidden(SweepTableModel::AuxiliaryWord, !fractional);
    table_->resizeColumnsToContents();
    describe_settings(plan_->settings);
    say(tr("%n point(s) ready.", nullptr, static_cast<int>(plan_->points.size())), false);
    return true;
}

void SweepWindow::set_running(bool running)
{
    running_ = running;
    for (QWidget* w : std::initializer_list<QWidget*>{band_, list_mode_, start_, stop_, step_, list_, open_list_,
                                                       dwell_, continuous_, round_, loop_bw_, prepare_button_,
                                                       start_button_, export_button_})
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
    if (FileSelectPopup(".", "sweep.csv", "Export the sweep table", &path, "CSV tables (*.csv)") != 1 ||
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

void SweepWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

SweepWindow* open_sweep_window()
{
    if (!the_window) {
        the_window = new SweepWindow(PanelWindow(MainPanelHandle));
        ResizeWithinScreen(the_window, the_window->size());
    }
    the_window->show();
    the_window->raise();
    the_window->activateWindow();
    return the_window;
}

SweepWindow* sweep_window()
{
    return the_window;
}
