#include "plotter/_Plot.h"

#include "cursors/CursorWidget.h"
#include "plotter/MinimapPlotter.h"
#include "plotter/PlaneControl.h"
#include "plotter/Plotter.h"
#include "plotter/PointRows.h"

#include <KChartAbstractDiagram>
#include <KChartCartesianCoordinatePlane>

_Plot::_Plot(Plotter* owner_, QWidget* parent)
    : ChartView(parent)
    , owner(owner_)
{
    setObjectName(QStringLiteral("_Plot"));
}

void _Plot::replotVisible()
{
    owner->plotOnlyVisible();
    update();
}

void _Plot::viewChangedByChart() { owner->handleRubberBandZoomedEvent(); }

bool _Plot::hasCursors() const { return owner->cursorWidget != nullptr; }

bool _Plot::cursorsHidden() const { return !owner->cursorWidget || owner->cursorWidget->hidden; }

QPoint _Plot::cursorPixel(int which) const { return owner->cursorWidget->_getPos(which); }

void _Plot::moveCursor(int which, double x) { owner->cursorWidget->setCursor(which, x); }

QPointF _Plot::wheelAnchor(const QPointF& pixel) const
{
    // Zooming over an event marker keeps the marker itself under the pointer.
    const QPoint at = pixel.toPoint();
    const auto diagrams = plane()->diagrams();
    for (auto* diagram : diagrams) {
        const QModelIndex idx = diagram->indexAt(at);
        const auto* model = diagram->model();
        if (!model || !model->data(idx, Qt::DisplayRole).isValid())
            continue;
        if (chart::pointKind(*model, idx.row()) == chart::EventMarker) {
            const float x = model->index(idx.row(), chart::XColumn).data().toFloat();
            const float y = model->index(idx.row(), chart::YColumn).data().toFloat();
            return chart::planeFraction(fullRange, QPointF(x, y));
        }
    }
    return ChartView::wheelAnchor(pixel);
}

void _Plot::paintUnder(QPainter& painter) { owner->paintMarkerLines(painter); }

void _Plot::paintOver(QPainter& painter)
{
    owner->paintMarkerLabelsAndUnits(painter);
    // New tick labels can move the plot area while the chart paints: the minimap's rectangle follows.
    if (owner->minimap)
        owner->minimap->chart.followMainView();
}
