#include "plotter/ChartView.h"

#include "plotter/PlaneControl.h"

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

bool isSideButton(const QMouseEvent* event)
{
    return event->button() == Qt::BackButton || event->button() == Qt::ForwardButton;
}

} // namespace

ChartView::ChartView(QWidget* parent)
    : KChart::Chart(parent)
{
}

KChart::CartesianCoordinatePlane* ChartView::plane() const
{
    return static_cast<KChart::CartesianCoordinatePlane*>(const_cast<ChartView*>(this)->coordinatePlane());
}

void ChartView::zoom(float factor) { zoom(factor, factor); }

void ChartView::zoom(float factorX, float factorY)
{
    if (inert())
        return;
    chart::setZoom(plane(), plane()->zoomFactorX() * factorX, plane()->zoomFactorY() * factorY);
    enforceViewLimitsAndUpdate();
}

void ChartView::resetView()
{
    if (inert())
        return;
    plane()->setZoomCenter(QPointF(0.5, 0.5));
    chart::setZoom(plane(), 1, 1);
    replotVisible();
}

void ChartView::enforceViewLimitsAndUpdate()
{
    if (inert())
        return;
    chart::applyViewLimits(plane());
    replotVisible();
}

QRectF ChartView::updateRange()
{
    fullRange = inert() ? QRectF() : chart::fullDataRange(plane());
    return fullRange;
}

double ChartView::wheelFactor(int angleDelta)
{
    // Whole notches give 1.5, 2.25, ... exactly; a turn towards the user the inverse.
    const double f = std::pow(1.5, std::abs(angleDelta) / 120.0);
    return angleDelta < 0 ? 1 / f : f;
}

QPointF ChartView::fractionAt(const QPointF& pixel) const
{
    return chart::planeFraction(fullRange, plane()->translateBack(pixel));
}

QPointF ChartView::wheelAnchor(const QPointF& pixel) const { return fractionAt(pixel); }

int ChartView::cursorHit(int x) const
{
    if (!hasCursors())
        return 0;
    if (std::abs(x - cursorPixel(0).x()) <= 2)
        return 1;
    if (std::abs(x - cursorPixel(1).x()) <= 2)
        return 2;
    return 0;
}

template <typename F> void ChartView::passToChart(F handle)
{
    if (chart::changesView(plane(), handle))
        viewChangedByChart();
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    if (isSideButton(event)) {
        event->ignore();
        return;
    }
    if (inert())
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

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (inert())
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
    if (isSideButton(event)) {
        event->ignore();
        return;
    }
    passToChart([&] { KChart::Chart::mouseReleaseEvent(event); });
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (inert())
        return;
    if (panning) {
        event->accept();
        updateRange();
        if (!usable(fullRange))
            return;
        const QPointF pointer = roundPanSteps ? rounded(event->localPos()) : event->localPos();
        plane()->setZoomCenter(plane()->zoomCenter() + (panAnchor - fractionAt(pointer)));
        panAnchor = fractionAt(pointer);
        enforceViewLimitsAndUpdate();
        return;
    }
    if (draggedCursor != 0) {
        event->accept();
        const double x = plane()->translateBack(rounded(event->localPos())).x();
        if (hasCursors())
            moveCursor(draggedCursor == 1 ? 0 : 1, x);
        return;
    }
    setCursor(!cursorsHidden() && cursorHit(event->pos().x()) != 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
    KChart::Chart::mouseMoveEvent(event);
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    if (inert())
        return;
    // A sideways swipe, or the start or end of a touchpad gesture.
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    event->accept();
    auto* p = plane();
    updateRange();
    if (!usable(fullRange))
        return;
    const QPointF pos = event->position();
    const QPointF anchor = wheelAnchor(pos);
    const bool sized = !rect().isEmpty();
    if (sized)
        p->setZoomCenter(anchor);
    const double f = wheelFactor(delta);
    p->setZoomFactorX(std::clamp(p->zoomFactorX() * f, chart::minZoom, chart::maxZoom));
    p->setZoomFactorY(std::clamp(p->zoomFactorY() * f, chart::minZoom, chart::maxZoom));
    if (sized)
        p->setZoomCenter(2 * anchor - fractionAt(pos));
    const qreal zoomX = p->zoomFactorX();
    const qreal zoomY = p->zoomFactorY();
    enforceViewLimitsAndUpdate();
    // New tick labels can move the plot area by a few pixels; one more step puts the anchor back. Not after a snap
    // back to the whole view.
    if (sized && p->zoomFactorX() == zoomX && p->zoomFactorY() == zoomY
        && chart::keepUnderPointer(p, fullRange, anchor, pos))
        replotVisible();
}

void ChartView::paintEvent(QPaintEvent* event)
{
    if (inert()) {
        KChart::Chart::paintEvent(event);
        emit finishedDrawing();
        return;
    }
    {
        QPainter painter(this);
        paintUnder(painter);
    }
    KChart::Chart::paintEvent(event);
    {
        QPainter painter(this);
        paintOver(painter);
    }
    emit finishedDrawing();
}
