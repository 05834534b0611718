#include "cursors/CursorWidget.h"
#include "events/OTDREvent.h"
#include "plotter/ChartInteraction.h"
#include "plotter/Plotter.h"
#include "plotter/PointRows.h"
#include "plotter/TraceDiagram.h"
#include "sor/SORParser.h"
#include "widgets/ReadoutNumber.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <algorithm>
#include <cmath>

bool Plotter::eventFilter_pointHover(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonPress)
        return false;
    if (!traceDiagram)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint p = chart::chartPosition(chart, watched, mouse);
    const QPointF data = chart.plane()->translateBack(p);
    const double X = data.x();
    const double Y = data.y();

    QString toolTip;
    QString status;
    bool found = false;
    const auto diagrams = chart.plane()->diagrams();
    for (auto* diagram : diagrams) {
        if (diagram == traceDiagram)
            continue;
        const auto* model = diagram->model();
        const QModelIndex idx = diagram->indexAt(p);
        if (!model || !model->data(idx, Qt::DisplayRole).isValid())
            continue;
        const int row = idx.row();
        if (model->index(row, 3).data(Qt::UserRole).toInt() != chart::EventMarker)
            continue;
        toolTip = model->index(row, 2).data(Qt::ToolTipRole).toString();
        status = tr("X: %1 km  Y: %2 dB  Near event #%3")
                     .arg(num(X), num(Y), QString::number(static_cast<int>(model->index(row, 4).data().toDouble())));
        const QVariant marker = model->index(row, 5).data(Qt::UserRole);
        if (marker.isValid())
            handleEventHover(marker.toUInt());
        found = true;
        break;
    }
    if (!found) {
        const QModelIndex idx = traceDiagram->indexAt(p);
        if (!traceModel.data(idx, Qt::DisplayRole).isValid()) {
            toolTip = tr("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td></tr><tr><td>#</td>"
                         "<td>Not a data point</td></tr></table>")
                          .arg(num(X), num(Y));
            status = QStringLiteral("X: %1 km  Y: %2 dB").arg(num(X), num(Y));
        } else {
            toolTip = traceModel.index(idx.row(), 2).data(Qt::ToolTipRole).toString();
            status = tr("X: %1 km  Y: %2 dB  Near point number %3")
                         .arg(num(X), num(Y),
                             QString::number(static_cast<qlonglong>(traceModel.index(idx.row(), 4).data().toDouble())));
        }
    }
    setToolTip(toolTip);
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window()))
        mainWindow->statusBar()->showMessage(status, 0);
    return false;
}

bool Plotter::eventFilter_pointClick(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || !cursorWidget)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if ((mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        || mouse->modifiers() != Qt::ControlModifier)
        return false;
    cursorWidget->active = true;
    cursorWidget->hidden = false;
    const double x = chart.plane()->translateBack(chart::chartPosition(chart, watched, mouse)).x();
    cursorWidget->setCursor(mouse->button() == Qt::LeftButton ? 0 : 1, x);
    mouse->accept();
    return true;
}

bool Plotter::eventFilter_keyPress(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Left && key->key() != Qt::Key_Right)
        return false;
    if (!cursorWidget || cursorWidget->hidden || !parser)
        return false;
    const unsigned short c = key->modifiers() == Qt::ControlModifier ? 1 : 0;
    const double cur = cursorWidget->cursorModel.index(c, 0).data().toDouble();
    const auto& xs = parser->getXY()[0];
    // Distances increase: a binary search finds the sample a walk from the start would.
    if (key->key() == Qt::Key_Right) {
        const auto it = std::partition_point(xs.begin(), xs.end(), [cur](double x) { return !(x > cur); });
        if (it != xs.end())
            cursorWidget->setCursor(c, *it);
    } else {
        const auto it = std::partition_point(xs.begin(), xs.end(), [cur](double x) { return !(x >= cur); });
        if (it != xs.end())
            cursorWidget->setCursor(c, it == xs.begin() ? *it : *(it - 1));
    }
    key->accept();
    return true;
}

void Plotter::handleEventHover(unsigned index)
{
    if (index < events.size())
        events[index]->brightnessAnimation.start(QAbstractAnimation::KeepWhenStopped);
}
