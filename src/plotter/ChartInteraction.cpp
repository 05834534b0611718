#include "plotter/ChartInteraction.h"

#include "widgets/ReadoutNumber.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWidget>

namespace chart {

QPoint chartPosition(QWidget& chart, QObject* watched, QMouseEvent* event)
{
    const QPoint local(qRound(event->localPos().x()), qRound(event->localPos().y()));
    if (watched == &chart)
        return local;
    return chart.mapFromGlobal(event->globalPos());
}

PointerReadout PointerReadout::offPoint(double x, double y)
{
    return { tr("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td></tr><tr><td>#</td>"
                "<td>Not a data point</td></tr></table>")
                 .arg(num(x), num(y)),
        QStringLiteral("X: %1 km  Y: %2 dB").arg(num(x), num(y)) };
}

PointerReadout PointerReadout::nearPoint(double x, double y, const QString& toolTip, qlonglong number)
{
    return { toolTip, tr("X: %1 km  Y: %2 dB  Near point number %3").arg(num(x), num(y), QString::number(number)) };
}

void PointerReadout::show(QWidget& owner) const
{
    owner.setToolTip(toolTip);
    if (auto* mainWindow = qobject_cast<QMainWindow*>(owner.window()))
        mainWindow->statusBar()->showMessage(status, 0);
}

std::optional<unsigned short> clickedCursor(const QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return std::nullopt;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    if ((mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        || mouse->modifiers() != Qt::ControlModifier)
        return std::nullopt;
    return mouse->button() == Qt::LeftButton ? 0 : 1;
}

std::optional<CursorStep> cursorStep(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return std::nullopt;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Left && key->key() != Qt::Key_Right)
        return std::nullopt;
    return CursorStep { static_cast<unsigned short>(key->modifiers() == Qt::ControlModifier ? 1 : 0),
        key->key() == Qt::Key_Right };
}

} // namespace chart
