#include "app/windows/sweep_table_model.h"

#include "wire/sweep_bursts.h"
#include "model/number_text.h"
#include "model/solve_outcome.h"
#include "model/spurs.h"

#include <QBrush>
#include <QColor>

namespace {

QString hex_word(uint32_t word)
{
    return QString::fromStdString(hex_text(word, 6));
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

}  // namespace

void SweepTableModel::show_plan(std::shared_ptr<const SweepPlan> plan, const SweepRun* run)
{
    beginResetModel();
    plan_ = std::move(plan);
    run_ = run;
    endResetModel();
}

void SweepTableModel::show_run(const SweepRun* run)
{
    run_ = run;
    refresh_written();
}

void SweepTableModel::refresh_written()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, Written), index(rowCount() - 1, Written), {Qt::DisplayRole});
}

void SweepTableModel::set_loop_bandwidth(std::optional<double> hz)
{
    loop_bandwidth_hz_ = hz;
    if (rowCount() > 0)
        emit dataChanged(index(0, IntegerBoundary), index(rowCount() - 1, IntegerBoundary));
}

int SweepTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !plan_ ? 0 : static_cast<int>(plan_->points.size());
}

int SweepTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant SweepTableModel::data(const QModelIndex& index, int role) const
{
    if (!plan_ || !index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    const auto row = static_cast<std::size_t>(index.row());
    const SweepPoint& p = plan_->points[row];
    if (index.column() == IntegerBoundary && role != Qt::DisplayRole) {
        const std::optional<double> hz = spur_offsets(settings_at(*plan_, p)).integer_boundary_hz;
        const bool inside = hz && loop_bandwidth_hz_ && *hz <= *loop_bandwidth_hz_;
        if (role == Qt::ForegroundRole && inside)
            return QBrush(QColor(0xb0, 0x00, 0x00));
        if (role == Qt::ToolTipRole && inside)
            return tr("Inside the loop bandwidth: the loop passes this spur to the output.");
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Point: return index.row() + 1;
    case Requested: return QString::fromStdString(number_text(p.requested_mhz));
    case Achieved: return fixed(p.achieved_mhz, 7);
    case Error: return fixed(p.error_hz, 3);
    case R: return p.R;
    case M: return p.M;
    case A: return p.A;
    case K: return p.K;
    case MainWord: return hex_word(sweep_words(*plan_, p).main);
    case AuxiliaryWord: {
        const uint32_t aux = sweep_words(*plan_, p).aux;
        return aux != 0 ? hex_word(aux) : QString();
    }
    case IntegerBoundary: {
        const std::optional<double> hz = spur_offsets(settings_at(*plan_, p)).integer_boundary_hz;
        if (!hz)
            return tr("none");
        const QString text = QString::fromStdString(offset_text(*hz));
        return loop_bandwidth_hz_ && *hz <= *loop_bandwidth_hz_ ? text + tr(" (in loop)") : text;
    }
    case Written: {
        if (!run_ || row >= run_->records().size() || run_->records()[row].writes == 0)
            return QString();
        const PointRecord& r = run_->records()[row];
        const QString at = fixed(std::chrono::duration<double, std::milli>(r.last_written).count(), 3) +
                           QStringLiteral(" ms");
        return r.writes > 1 ? QStringLiteral("%1 (%2 times)").arg(at).arg(r.writes) : at;
    }
    default: return {};
    }
}

QVariant SweepTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kHeaders[Columns] = {
        "#", "Requested (MHz)", "Achieved (MHz)", "Error (Hz)", "R", "M", "A", "K", "Main word", "Auxiliary word",
        "Integer-boundary spur", "Last written",
    };
    return section >= 0 && section < Columns ? QString::fromLatin1(kHeaders[section]) : QVariant();
}
