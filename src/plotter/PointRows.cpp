#include "plotter/PointRows.h"

#include "widgets/ReadoutNumber.h"

#include <QStandardItemModel>
#include <QStringBuilder>

namespace chart {

int pointKind(const QAbstractItemModel& model, int row) { return model.index(row, KindColumn).data(KindRole).toInt(); }

QString pointToolTip(double x, double y, unsigned index, const QString& tail)
{
    // Built piece by piece: the tail (a file name) must not be searched for placeholders.
    return QStringLiteral("<table><tr><td>X</td><td>") % num(x) % QStringLiteral(" km</td></tr><tr><td>Y</td><td>")
        % num(y) % QStringLiteral(" dB</td></tr><tr><td>#</td><td>") % QString::number(index) % tail;
}

QString cursorToolTip(double x, double y, unsigned short cursor)
{
    return QStringLiteral("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td></tr>"
                          "<tr><td>M</td><td>%3</td></tr></table>")
        .arg(num(x), num(y), cursor == 0 ? QStringLiteral("A") : QStringLiteral("B"));
}

void setPointRow(
    QStandardItemModel& model, int row, double x, double y, const QString& toolTip, int kind, double number)
{
    model.setData(model.index(row, XColumn), x, Qt::DisplayRole);
    model.setData(model.index(row, YColumn), y, Qt::DisplayRole);
    model.setData(model.index(row, ToolTipColumn), toolTip, Qt::ToolTipRole);
    model.setData(model.index(row, KindColumn), kind, KindRole);
    model.setData(model.index(row, NumberColumn), number, Qt::DisplayRole);
}

} // namespace chart
