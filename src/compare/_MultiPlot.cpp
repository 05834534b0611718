#include "compare/_MultiPlot.h"

#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotter.h"
#include "plotter/ChartMath.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cmath>

namespace {

QPointF rounded(const QPointF& p) { return QPointF(std::round(p.x()), std::round(p.y())); }

bool usable(const QRectF& r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height())
        && r.width() != 0 && r.height() != 0;
}

} // namespace

_MultiPlot::_MultiPlot(MultiPlotter* owner_, QWidget* parent)
    : KChart::Chart(parent)
    , owner(owner_)
{
    setObjectName(QStringLiteral("_MultiPlot"));
}

KChart::CartesianCoordinatePlane* _MultiPlot::plane() const
{
    return static_cast<KChart::CartesianCoordinatePlane*>(const_cast<_MultiPlot*>(this)->coordinatePlane());
}

void _MultiPlot::zoom(float factor) { zoom(factor, factor); }

void _MultiPlot::zoom(float factorX, float factorY)
{
    if (!hasData)
        return;
    chart::setZoom(plane(), plane()->zoomFactorX() * factorX, plane()->zoomFactorY() * factorY);
    enforceViewLimitsAndUpdate();
}

void _MultiPlot::resetView()
{
    if (!hasData)
        return;
    plane()->setZoomCenter(QPointF(0.5, 0.5));
    chart::setZoom(plane(), 1, 1);
    owner->_replotAll();
}

void _MultiPlot::enforceViewLimitsAndUpdate()
{
    if (!hasData)
        return;
    chart::applyViewLimits(plane());
    owner->_replotAll();
}

QRectF _MultiPlot::updateRange()
{
    fullRange = hasData ? chart::fullDataRange(plane()) : QRectF();
    return fullRange;
}

QPointF _MultiPlot::fractionAt(const QPointF& pixel) const
{
    return chart::planeFraction(fullRange, plane()->translateBack(pixel));
}

bool _MultiPlot::cursorsHidden() const { return !owner->cursorOwner || owner->cursorOwner->cursorsHidden; }

int _MultiPlot::cursorHit(int x) const
{
    if (!owner->cursorOwner)
        return 0;
    if (std::abs(x - owner->cursorOwner->_getPos(0).x()) <= 2)
        return 1;
    if (std::abs(x - owner->cursorOwner->_getPos(1).x()) <= 2)
        return 2;
    return 0;
}

template <typename F> void _MultiPlot::passToChart(F handle)
{
    if (chart::changesView(plane(), handle))
        owner->handleRubberBandZoomedEvent();
}

void _MultiPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
        event->ignore();
        return;
    }
    if (!hasData)
        return;
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        panning = true;
        updateRange();
        panAnchor = fractionAt(rounded(event->localPos()));
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const int hit = cursorHit(event->pos().x());
        if (hit != 0) {
            event->accept();
            if (cursorsHidden())
                return;
            draggedCursor = hit;
            setCursor(Qt::SizeHorCursor);
            return;
        }
    }
    passToChart([&] { KChart::Chart::mousePressEvent(event); });
}

void _MultiPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (!hasData)
        return;
    if (event->button() == Qt::MiddleButton && panning) {
        event->accept();
        panning = false;
        enforceViewLimitsAndUpdate();
        return;
    }
    if (event->button() == Qt::LeftButton && draggedCursor != 0) {
        event->accept();
        draggedCursor = 0;
        setCursor(Qt::ArrowCursor);
        return;
    }
    passToChart([&] { KChart::Chart::mouseReleaseEvent(event); });
}

void _MultiPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (!hasData)
        return;
    if (panning) {
        event->accept();
        updateRange();
        if (!usable(fullRange))
            return;
        const QPointF f = fractionAt(rounded(event->localPos()));
        plane()->setZoomCenter(plane()->zoomCenter() + (panAnchor - f));
        panAnchor = fractionAt(rounded(event->localPos()));
        enforceViewLimitsAndUpdate();
        return;
    }
    if (draggedCursor != 0) {
        event->accept();
        const double x = plane()->translateBack(rounded(event->localPos())).x();
        if (owner->cursorOwner)
            owner->cursorOwner->setCursor(draggedCursor == 1 ? 0 : 1, x);
        return;
    }
    setCursor(!cursorsHidden() && cursorHit(event->pos().x()) != 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
    KChart::Chart::mouseMoveEvent(event);
}

void _MultiPlot::wheelEvent(QWheelEvent* event)
{
    if (!hasData)
        return;
    event->accept();
    auto* p = plane();
    updateRange();
    if (!usable(fullRange))
        return;
    // Unlike the single-trace chart, the anchor is the pointer itself: no snapping to a point of a trace.
    const QPointF pos = event->position();
    const QPointF anchor = chart::planeFraction(fullRange, p->translateBack(pos));
    const bool sized = !rect().isEmpty();
    if (sized)
        p->setZoomCenter(anchor);
    double f = event->angleDelta().y() / 80.0;
    if (f < 0)
        f = -1 / f;
    p->setZoomFactorX(std::clamp(p->zoomFactorX() * f, chart::minZoom, chart::maxZoom));
    p->setZoomFactorY(std::clamp(p->zoomFactorY() * f, chart::minZoom, chart::maxZoom));
    if (sized)
        p->setZoomCenter(2 * anchor - chart::planeFraction(fullRange, p->translateBack(pos)));
    const qreal zoomX = p->zoomFactorX();
    const qreal zoomY = p->zoomFactorY();
    enforceViewLimitsAndUpdate();
    // Not after a snap back to the whole view.
    if (sized && p->zoomFactorX() == zoomX && p->zoomFactorY() == zoomY
        && chart::keepUnderPointer(p, fullRange, anchor, pos))
        owner->_replotAll();
}

void _MultiPlot::paintEvent(QPaintEvent* event)
{
    if (!hasData) {
        KChart::Chart::paintEvent(event);
        emit finishedDrawing();
        return;
    }
    {
        QPainter painter(this);
        owner->paintMarkerLines(painter);
    }
    KChart::Chart::paintEvent(event);
    {
        QPainter painter(this);
        owner->paintMarkerLabelsAndUnits(painter);
    }
    emit finishedDrawing();
}
