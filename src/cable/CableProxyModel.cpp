#include "cable/CableProxyModel.h"

#include "cable/CableModel.h"

#include <QRegularExpression>

CableProxyModel::CableProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(CableModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void CableProxyModel::setCableModel(CableModel* model) { setRowsModel(model, model); }

void CableProxyModel::setRowsModel(QAbstractItemModel* model, const FilteredRows* rows)
{
    cable = rows;
    setSourceModel(model);
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
