#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotter.h"
#include "compare/PlotEntity.h"
#include "plotter/ChartInteraction.h"
#include "plotter/TraceDiagram.h"
#include "widgets/ReadoutNumber.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <algorithm>

bool MultiPlotter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        eventFilter_pointHover(watched, event);
        return eventFilter_pointClick(watched, event);
    case QEvent::MouseMove:
        return eventFilter_pointHover(watched, event);
    case QEvent::KeyPress:
        return eventFilter_keyPress(watched, event);
    default:
        return false;
    }
}

bool MultiPlotter::eventFilter_pointHover(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonPress)
        return false;
    // Without a trace the plane has no range, and every reading would be a number of nothing.
    if (!chart.hasData)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint p = chart::chartPosition(chart, watched, mouse);
    const QPointF data = chart.plane()->translateBack(p);
    const QString x = num(data.x());
    const QString y = num(data.y());

    QString toolTip;
    QString status;
    // The trace loaded first wins where traces overlap.
    for (PlotEntity* entity : qAsConst(entities)) {
        if (!entity->diagram)
            continue;
        const QModelIndex idx = entity->diagram->indexAt(p);
        if (!entity->model.data(idx, Qt::DisplayRole).isValid())
            continue;
        const int row = idx.row();
        toolTip = entity->model.index(row, 2).data(Qt::ToolTipRole).toString();
        status = tr("X: %1 km  Y: %2 dB  Near point number %3 of file ")
                     .arg(x, y, QString::number(static_cast<qlonglong>(entity->model.index(row, 4).data().toDouble())))
            + entity->fileName;
        break;
    }
    if (status.isEmpty()) {
        toolTip = tr("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td></tr><tr><td>#</td>"
                     "<td>Not a data point</td></tr></table>")
                      .arg(x, y);
        status = QStringLiteral("X: %1 km  Y: %2 dB").arg(x, y);
    }
    setToolTip(toolTip);
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window()))
        mainWindow->statusBar()->showMessage(status, 0);
    return false;
}

bool MultiPlotter::eventFilter_pointClick(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || !cursorOwner)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if ((mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton)
        || mouse->modifiers() != Qt::ControlModifier)
        return false;
    cursorOwner->cursorsPlaced = true;
    cursorOwner->cursorsHidden = false;
    const double x = chart.plane()->translateBack(chart::chartPosition(chart, watched, mouse)).x();
    cursorOwner->setCursor(mouse->button() == Qt::LeftButton ? 0 : 1, x);
    mouse->accept();
    return true;
}

bool MultiPlotter::eventFilter_keyPress(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Left && key->key() != Qt::Key_Right)
        return false;
    if (!cursorOwner || cursorOwner->cursorsHidden)
        return false;
    const unsigned short c = key->modifiers() == Qt::ControlModifier ? 1 : 0;
    if (!entities.isEmpty()) {
        const double cur = cursorOwner->cursorModel.index(c, 0).data().toDouble();
        const auto& xs = entities.first()->parser.getXY()[0];
        // Distances increase: a binary search finds the sample a walk from the start would.
        if (key->key() == Qt::Key_Right) {
            const auto it = std::partition_point(xs.begin(), xs.end(), [cur](double x) { return !(x > cur); });
            if (it != xs.end())
                cursorOwner->setCursor(c, *it);
        } else {
            const auto it = std::partition_point(xs.begin(), xs.end(), [cur](double x) { return !(x >= cur); });
            if (it != xs.end())
                cursorOwner->setCursor(c, it == xs.begin() ? *it : *(it - 1));
        }
    }
    key->accept();
    return true;
}
