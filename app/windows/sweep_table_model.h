#pragma once
// The sweep window's table of points, read straight from the plan and the run:
// a hundred thousand points cost no widget each.

#include "wire/sweep_run.h"
#include "model/sweep_plan.h"

#include <QAbstractTableModel>

#include <memory>
#include <optional>

class SweepTableModel : public QAbstractTableModel {
public:
    enum Column {
        Point, Requested, Achieved, Error, R, M, A, K, MainWord, AuxiliaryWord, IntegerBoundary, Written, Columns
    };

    using QAbstractTableModel::QAbstractTableModel;

    // A new table; run: the run of that plan, or nullptr before it runs.
    void show_plan(std::shared_ptr<const SweepPlan> plan, const SweepRun* run);
    void show_run(const SweepRun* run);
    // The run has written more: its column is read again.
    void refresh_written();
    // Spurs at or within this offset (Hz) are marked; none: no mark.
    void set_loop_bandwidth(std::optional<double> hz);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::shared_ptr<const SweepPlan> plan_;
    const SweepRun* run_ = nullptr;
    std::optional<double> loop_bandwidth_hz_;
};
