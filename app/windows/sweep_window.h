#pragma once
// The sweep window of the Tools menu: a band (start, stop and step in MHz) or a
// list of frequencies, a dwell, a repeat count or continuous, with the part and
// every register and switch setting taken from the main panel as it stands. The
// table of points is built before running; the sweep runs from a timer, so the
// panels stay responsive, and leaves the main panel on the last point programmed.

#include "wire/sweep_run.h"
#include "model/sweep_plan.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
class SweepTableModel;

class SweepWindow : public QWidget {
public:
    explicit SweepWindow(QWidget* parent);
    ~SweepWindow() override;

    // Builds the table of points from the inputs and the main panel. False, with
    // the refused input named in the window, when the inputs are refused.
    bool prepare();
    // Prepares, checks the board and starts; false when nothing was started.
    bool start();
    // Ends a running sweep before its next point.
    void stop();
    bool running() const { return running_; }

    const SweepPlan* plan() const { return plan_.get(); }
    const SweepRun* run() const { return run_.get(); }
    // The main panel was recomputed: a change of the settings the table was built
    // from rebuilds it, once typing pauses.
    void panel_recomputed();
    // What the window last said: a refusal, a board problem, the end of a sweep.
    QString message() const;

    // Told of every write, for those who follow the sweep (benchmarks).
    std::function<void(const SweepWrite&)> on_written;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void describe_settings(const RegisterSet& settings);
    void show_refusal(const SweepRefusal& refusal);
    void say(const QString& text, bool problem);
    bool board_ready();
    void tick();
    void arm(SweepClock::duration wait);
    void show_progress();
    void finish();
    void report();
    void set_running(bool running);
    void open_list();
    void export_csv();

    QRadioButton* band_ = nullptr;
    QRadioButton* list_mode_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* stop_ = nullptr;
    QLineEdit* step_ = nullptr;
    QPlainTextEdit* list_ = nullptr;
    QPushButton* open_list_ = nullptr;
    QDoubleSpinBox* dwell_ = nullptr;
    QSpinBox* repeat_ = nullptr;
    QCheckBox* continuous_ = nullptr;
    QComboBox* round_ = nullptr;
    QLineEdit* loop_bw_ = nullptr;
    QLabel* settings_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* prepare_button_ = nullptr;
    QPushButton* start_button_ = nullptr;
    QPushButton* stop_button_ = nullptr;
    QPushButton* export_button_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableView* table_ = nullptr;
    SweepTableModel* model_ = nullptr;

    // The main panel's settings that the table was built from, or that the last
    // sweep left it on: a change from them rebuilds the table.
    RegisterSet panel_base_{};

    std::shared_ptr<const SweepPlan> plan_;
    // Shared, so that what a report reads outlives a sweep started from inside it.
    std::shared_ptr<SweepRun> run_;
    bool running_ = false;
    bool reporting_ = false;  // the report moves the main panel to the last point
    bool board_lost_ = false;
    bool scheduled_ = false;  // the run's schedule has begun
    unsigned long bursts_after_last_point_ = 0;  // bursts_written() after the sweep's last write
    QTimer timer_;
    QTimer input_settled_;  // the table follows the inputs once typing pauses
    SweepClock::time_point shown_at_{};
};

// The window of the Tools menu, on the main panel: opened (or raised) by it.
SweepWindow* open_sweep_window();
// The window, or nullptr while none is open.
SweepWindow* sweep_window();
