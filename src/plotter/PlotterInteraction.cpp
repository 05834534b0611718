#include "analysis/CursorReadings.h"
#include "cursors/CursorWidget.h"
#include "events/OTDREvent.h"
#include "plotter/ChartInteraction.h"
#include "plotter/Plotter.h"
#include "plotter/PointRows.h"
#include "plotter/TraceDiagram.h"
#include "sor/SORParser.h"
#include "widgets/ReadoutNumber.h"

#include <QMouseEvent>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

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

    const auto diagrams = chart.plane()->diagrams();
    for (auto* diagram : diagrams) {
        if (diagram == traceDiagram)
            continue;
        const auto* model = diagram->model();
        const QModelIndex idx = diagram->indexAt(p);
        if (!model || !model->data(idx, Qt::DisplayRole).isValid())
            continue;
        const int row = idx.row();
        if (chart::pointKind(*model, row) != chart::EventMarker)
            continue;
        const chart::PointerReadout readout { model->index(row, chart::ToolTipColumn).data(Qt::ToolTipRole).toString(),
            tr("X: %1 km  Y: %2 dB  Near event #%3")
                .arg(num(X), num(Y),
                    QString::number(static_cast<int>(model->index(row, chart::NumberColumn).data().toDouble()))) };
        const QVariant marker = model->index(row, chart::MarkerIndexColumn).data(chart::MarkerIndexRole);
        if (marker.isValid())
            handleEventHover(marker.toUInt());
        readout.show(*this);
        return false;
    }
    const QModelIndex idx = traceDiagram->indexAt(p);
    if (!traceModel.data(idx, Qt::DisplayRole).isValid()) {
        chart::PointerReadout::offPoint(X, Y).show(*this);
        return false;
    }
    chart::PointerReadout::nearPoint(X, Y,
        traceModel.index(idx.row(), TraceModel::ToolTipColumn).data(Qt::ToolTipRole).toString(),
        static_cast<qlonglong>(traceModel.index(idx.row(), TraceModel::NumberColumn).data().toDouble()))
        .show(*this);
    return false;
}

bool Plotter::eventFilter_pointClick(QObject* watched, QEvent* event)
{
    const auto cursor = chart::clickedCursor(event);
    if (!cursor || !cursorWidget)
        return false;
    cursorWidget->active = true;
    cursorWidget->hidden = false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    cursorWidget->setCursor(*cursor, chart.plane()->translateBack(chart::chartPosition(chart, watched, mouse)).x());
    mouse->accept();
    return true;
}

bool Plotter::eventFilter_keyPress(QObject*, QEvent* event)
{
    const auto step = chart::cursorStep(event);
    if (!step || !cursorWidget || cursorWidget->hidden || !parser)
        return false;
    const double current = cursorWidget->cursorModel.index(step->cursor, chart::XColumn).data().toDouble();
    if (const auto x = analysis::steppedCursor(parser->getXY()[0], current, step->right))
        cursorWidget->setCursor(step->cursor, *x);
    event->accept();
    return true;
}

void Plotter::handleEventHover(unsigned index)
{
    if (index < events.size())
        events[index]->brightnessAnimation.start(QAbstractAnimation::KeepWhenStopped);
}
