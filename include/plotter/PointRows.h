#pragma once

#include <QString>
#include <Qt>

class QAbstractItemModel;
class QStandardItemModel;

// The rows of every chart model (trace, range, cursors, event markers, in both chart kinds): the interaction tells
// what is under the pointer by their kind.
namespace chart {

enum PointKind { TracePoint = 0, EventMarker = 1, CursorMarker = 2, MinMaxPoint = 3 };

enum PointColumn {
    XColumn = 0, ///< km, display role
    YColumn = 1, ///< dB, display role
    ToolTipColumn = 2, ///< an HTML table, tool-tip role
    KindColumn = 3, ///< a PointKind, KindRole
    NumberColumn = 4, ///< the sample index or the event number, display role
    MarkerIndexColumn = 5, ///< event markers only: the marker's index, MarkerIndexRole
};
constexpr int pointColumnCount = 5;
constexpr int markerColumnCount = 6;
constexpr int KindRole = Qt::UserRole;
constexpr int MarkerIndexRole = Qt::UserRole;

/// The kind of a model's row.
int pointKind(const QAbstractItemModel& model, int row);

/// The tool tip of a trace sample; tail follows the sample index and closes the table.
QString pointToolTip(double x, double y, unsigned index, const QString& tail = QStringLiteral("</td></tr></table>"));

/// The tool tip of cursor 0 (A) or 1 (B) at (x, y).
QString cursorToolTip(double x, double y, unsigned short cursor);

/// Writes one point row (x, y, tool tip, kind, number); the model must have the row and five columns.
void setPointRow(
    QStandardItemModel& model, int row, double x, double y, const QString& toolTip, int kind, double number);

} // namespace chart
