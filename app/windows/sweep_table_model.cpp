#include "app/windows/sweep_table_model.h"

#include "wire/sweep_bursts.h"
#include "model/number_text.h"

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
    if (role != Qt::DisplayRole)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const SweepPoint& p = plan_->points[row];
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
        "Last written",
    };
    return section >= 0 && section < Columns ? QString::fromLatin1(kHeaders[section]) : QVariant();
}
