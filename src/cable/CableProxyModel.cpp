#include "cable/CableProxyModel.h"

#include "cable/CableModel.h"

#include "analysis/SummaryTable.h"

#include <QRegularExpression>

CableProxyModel::CableProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(CableModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void CableProxyModel::setCableModel(CableModel* model)
{
    cable = model;
    // A batch of rows that arrives while the table is sorted by anything but the file (the order the rows come in)
    // goes in at the end and is sorted once, with one layout change: inserted one by one into the middle of ten
    // thousand rows it would hold the GUI thread for tens of milliseconds. The first connection runs before the
    // proxy's own handling of the insertion, the second after it.
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        if (sortColumn() > static_cast<int>(analysis::Column::File))
            setDynamicSortFilter(false);
    });
    setSourceModel(model);
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (!dynamicSortFilter())
            setDynamicSortFilter(true); // sorts
    });
}

void CableProxyModel::setFilterWords(const QString& text)
{
    const QStringList next = text.toCaseFolded().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (next == words)
        return;
    words = next;
    invalidateFilter();
}

std::vector<int> CableProxyModel::shownRows() const
{
    std::vector<int> out;
    out.reserve(static_cast<size_t>(rowCount()));
    for (int row = 0; row < rowCount(); ++row)
        out.push_back(mapToSource(index(row, 0)).row());
    return out;
}

bool CableProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (sourceParent.isValid() || !cable)
        return false;
    return words.isEmpty() || cable->rowMatches(sourceRow, words);
}

bool CableProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!cable)
        return QSortFilterProxyModel::lessThan(left, right);
    return cable->lessThan(left.row(), right.row(), left.column());
}
