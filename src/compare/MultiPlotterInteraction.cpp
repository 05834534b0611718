#include "analysis/CursorReadings.h"
#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotter.h"
#include "compare/PlotEntity.h"
#include "plotter/ChartInteraction.h"
#include "plotter/PointRows.h"
#include "plotter/TraceDiagram.h"

#include <QMouseEvent>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

bool MultiPlotter::eventFilter(QObject* watched, QEvent* event)
{
    return chart::handleChartEvent(*this, watched, event);
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

    // The trace loaded first wins where traces overlap.
    for (PlotEntity* entity : qAsConst(entities)) {
        if (!entity->diagram)
            continue;
        const QModelIndex idx = entity->diagram->indexAt(p);
        if (!entity->model.data(idx, Qt::DisplayRole).isValid())
            continue;
        auto readout = chart::PointerReadout::nearPoint(data.x(), data.y(),
            entity->model.index(idx.row(), TraceModel::ToolTipColumn).data(Qt::ToolTipRole).toString(),
            static_cast<qlonglong>(entity->model.index(idx.row(), TraceModel::NumberColumn).data().toDouble()));
        readout.status += tr(" of file ") + entity->fileName;
        readout.show(*this);
        return false;
    }
    chart::PointerReadout::offPoint(data.x(), data.y()).show(*this);
    return false;
}

bool MultiPlotter::eventFilter_pointClick(QObject* watched, QEvent* event)
{
    const auto cursor = chart::clickedCursor(event);
    if (!cursor || !cursorOwner)
        return false;
    cursorOwner->cursorsPlaced = true;
    cursorOwner->cursorsHidden = false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    cursorOwner->setCursor(*cursor, chart.plane()->translateBack(chart::chartPosition(chart, watched, mouse)).x());
    mouse->accept();
    return true;
}

bool MultiPlotter::eventFilter_keyPress(QObject*, QEvent* event)
{
    const auto step = chart::cursorStep(event);
    if (!step || !cursorOwner || cursorOwner->cursorsHidden)
        return false;
    // The trace loaded first is the reference for the samples.
    if (!entities.isEmpty()) {
        const double current = cursorOwner->cursorModel.index(step->cursor, chart::XColumn).data().toDouble();
        if (const auto x = analysis::steppedCursor(entities.first()->parser.getXY()[0], current, step->right))
            cursorOwner->setCursor(step->cursor, *x);
    }
    event->accept();
    return true;
}
