#include "plotter/_MinimapPlot.h"

#include "plotter/ChartView.h"
#include "plotter/MinimapPlotter.h"
#include "plotter/MinimapSource.h"
#include "plotter/PlaneControl.h"

#include <QMouseEvent>
#include <QPainter>

#include <KChartCartesianCoordinatePlane>

#include <cmath>

_MinimapPlot::_MinimapPlot(MinimapSource* main, MinimapPlotter* minimap, QWidget* parent)
    : KChart::Chart(parent)
    , mainPlotter(main)
    , owner(minimap)
{
    setObjectName(QStringLiteral("_MinimapPlot"));
}

KChart::CartesianCoordinatePlane* _MinimapPlot::plane() const
{
    return static_cast<KChart::CartesianCoordinatePlane*>(const_cast<_MinimapPlot*>(this)->coordinatePlane());
}

void _MinimapPlot::setMainMini() { mainPlotter->minimap = owner; }

void _MinimapPlot::centreMainViewAt(const QPointF& pixel)
{
    const QPointF data = plane()->translateBack(QPointF(std::round(pixel.x()), std::round(pixel.y())));
    ChartView& main = mainPlotter->overviewedChart();
    const QRectF full = main.updateRange();
    const QPointF centre = chart::planeFraction(full, data);
    // Outside the view limits on purpose: the next zoom or pan in the main chart applies them.
    if (std::isfinite(centre.x()) && std::isfinite(centre.y()))
        main.plane()->setZoomCenter(centre);
    mainPlotter->replotForMinimap();
    main.update();
}

void _MinimapPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton && mainPlotter->hasOverview()) {
        event->accept();
        dragging = true;
        centreMainViewAt(event->localPos());
        return;
    }
    KChart::Chart::mousePressEvent(event);
}

void _MinimapPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging) {
        event->accept();
        centreMainViewAt(event->localPos());
        return;
    }
    KChart::Chart::mouseMoveEvent(event);
}

void _MinimapPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton && dragging) {
        event->accept();
        dragging = false;
        return;
    }
    KChart::Chart::mouseReleaseEvent(event);
}

QRectF _MinimapPlot::viewRect() const
{
    const QRectF r = mainPlotter->overviewedChart().plane()->visibleDataRange();
    const QPointF a = plane()->translate(r.topLeft());
    const QPointF b = plane()->translate(QPointF(r.x() + r.width(), r.y() + r.height()));
    return QRectF(a, b);
}

void _MinimapPlot::followMainView()
{
    if (viewRect() != shownView)
        update();
}

void _MinimapPlot::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const QRectF view = viewRect();
        painter.drawRects(&view, 1);
        shownView = view;
    }
    KChart::Chart::paintEvent(event);
}
