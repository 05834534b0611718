#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QPoint>
#include <QString>

#include <optional>

class QMouseEvent;
class QObject;
class QWidget;

// The pointer and key handling that the single-trace and the comparison chart share.
namespace chart {

/// Pointer position in chart pixels, whichever watched widget (chart, diagram, owner) the event came through.
QPoint chartPosition(QWidget& chart, QObject* watched, QMouseEvent* event);

/// What the pointer reads: the tool tip over the chart and the text of the main window's status bar.
struct PointerReadout {
    Q_DECLARE_TR_FUNCTIONS(PointerReadout)

public:
    QString toolTip;
    QString status;

    /// Over the plot at (x, y) in data units, but over no point.
    static PointerReadout offPoint(double x, double y);
    /// Near a sample of a trace; the status names the point number.
    static PointerReadout nearPoint(double x, double y, const QString& toolTip, qlonglong number);

    /// The tool tip on the chart's owner, the text in the status bar of the owner's main window, without time-out.
    void show(QWidget& owner) const;
};

/// The cursor a ctrl+click places: 0 (A) for the left button, 1 (B) for the right; none for any other event.
std::optional<unsigned short> clickedCursor(const QEvent* event);

/// A left or right arrow key: which cursor it steps (B with ctrl, else A) and whether to the right.
struct CursorStep {
    unsigned short cursor;
    bool right;
};
std::optional<CursorStep> cursorStep(const QEvent* event);

/// What a chart's owner does with an event of its chart or diagrams: a press updates the read-out and may place a
/// cursor, a move updates the read-out, an arrow key may step a cursor. Returns whether the event was consumed.
template <class Owner> bool handleChartEvent(Owner& owner, QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return owner.eventFilter_pointHover(watched, event) || owner.eventFilter_pointClick(watched, event);
    case QEvent::MouseMove:
        return owner.eventFilter_pointHover(watched, event);
    case QEvent::KeyPress:
        return owner.eventFilter_keyPress(watched, event);
    default:
        return false;
    }
}

} // namespace chart
