#include "fibre/FibreEventModel.h"

#include "cable/CableModel.h"

FibreEventModel::FibreEventModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void FibreEventModel::setRows(std::vector<analysis::FibreTableRow> rows)
{
    beginResetModel();
    shown = std::move(rows);
    endResetModel();
}

int FibreEventModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(shown.size()); }

int FibreEventModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : analysis::fibreColumnCount;
}

QVariant FibreEventModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const analysis::FibreTableRow& r = shown[size_t(index.row())];
    const auto column = static_cast<Column>(index.column());
    const bool fails = analysis::columnFails(column, r.failed);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(r.cells[size_t(index.column())]);
    case Qt::TextAlignmentRole:
        return column == Column::Type || column == Column::Source || column == Column::Bend
            ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
            : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return fails ? CableModel::markColour(true, true) : QVariant();
    case Qt::ForegroundRole:
        return fails ? CableModel::markColour(true, false) : QVariant();
    case Qt::ToolTipRole:
        if ((column == Column::LossAB || column == Column::LossBA) && r.cells[size_t(index.column())].back() == '*')
            return tr("Measured on this end's trace: its instrument did not list the event");
        return QVariant();
    case FailedRole:
        return r.failed;
    default:
        return QVariant();
    }
}

QVariant FibreEventModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QVariant();
    return tr(analysis::fibreColumnTitle(static_cast<Column>(section)));
}
