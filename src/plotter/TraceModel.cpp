#include "plotter/TraceModel.h"

#include "plotter/PointRows.h"

#include <algorithm>
#include <limits>

namespace {
constexpr double blank = std::numeric_limits<double>::quiet_NaN();
}

TraceModel::TraceModel(QObject* parent)
    : QAbstractTableModel(parent)
    , toolTipTail(QStringLiteral("</td></tr></table>"))
{
}

void TraceModel::reset(int rows)
{
    const size_t n = size_t(std::max(rows, 0));
    xs.assign(n, blank);
    ys.assign(n, blank);
    sampleYs.assign(n, blank);
    numbers.assign(n, blank);
    samples.assign(n, 0);
    any = false;
}

void TraceModel::setRow(int row, double x, double y, double sampleY, uint32_t sample, double number)
{
    const size_t r = size_t(row);
    xs[r] = x;
    ys[r] = y;
    sampleYs[r] = sampleY;
    samples[r] = sample;
    numbers[r] = number;
    if (!any) {
        xMin = xMax = x;
        yMin = yMax = y;
        any = true;
        return;
    }
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
}

void TraceModel::setToolTipTail(const QString& tail) { toolTipTail = tail; }

QPair<QPointF, QPointF> TraceModel::bounds() const
{
    if (!any)
        return qMakePair(QPointF(blank, blank), QPointF(blank, blank));
    return qMakePair(QPointF(xMin, yMin), QPointF(xMax, yMax));
}

int TraceModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows(); }

int TraceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TraceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows() || !filled(index.row()))
        return QVariant();
    const size_t r = size_t(index.row());
    const bool display = role == Qt::DisplayRole || role == Qt::EditRole;
    switch (index.column()) {
    case XColumn:
        return display ? QVariant(xs[r]) : QVariant();
    case YColumn:
        return display ? QVariant(ys[r]) : QVariant();
    case ToolTipColumn:
        return role == Qt::ToolTipRole ? QVariant(chart::pointToolTip(xs[r], sampleYs[r], samples[r], toolTipTail))
                                       : QVariant();
    case KindColumn:
        return role == KindRole ? QVariant(int(chart::TracePoint)) : QVariant();
    case NumberColumn:
        return display ? QVariant(numbers[r]) : QVariant();
    default:
        return QVariant();
    }
}

QVariant TraceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == XColumn && orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::EditRole))
        return QStringLiteral(".sor Data");
    return QAbstractTableModel::headerData(section, orientation, role);
}
