#include "plotter/_Plot.h"

#include "cursors/CursorWidget.h"
#include "plotter/ChartMath.h"
#include "plotter/Plotter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <KChartAbstractDiagram>
#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cmath>

namespace {

QPointF rounded(const QPointF& p) { return QPointF(std::round(p.x()), std::round(p.y())); }

bool usable(const QRectF& r)
{
    return std::isfinite(r.width()) && std::isfinite(r.height()) && r.width() != 0 && r.height() != 0;
}

} // namespace

_Plot::_Plot(Plotter* owner_, QWidget* parent)
    : KChart::Chart(parent)
    , owner(owner_)
{
    setObjectName(QStringLiteral("_Plot"));
}

KChart::CartesianCoordinatePlane* _Plot::plane() const
{
    return static_cast<KChart::CartesianCoordinatePlane*>(const_cast<_Plot*>(this)->coordinatePlane());
}

void _Plot::zoom(float factor) { zoom(factor, factor); }

void _Plot::zoom(float factorX, float factorY)
{
    chart::setZoom(plane(), plane()->zoomFactorX() * factorX, plane()->zoomFactorY() * factorY);
    enforceViewLimitsAndUpdate();
}

void _Plot::resetView()
{
    plane()->setZoomCenter(QPointF(0.5, 0.5));
    chart::setZoom(plane(), 1, 1);
    owner->plotOnlyVisible();
    update();
}

void _Plot::enforceViewLimitsAndUpdate()
{
    chart::applyViewLimits(plane());
    owner->plotOnlyVisible();
    update();
}

QRectF _Plot::updateRange()
{
    fullRange = chart::fullDataRange(plane());
    return fullRange;
}

QPointF _Plot::fractionAt(const QPointF& pixel) const
{
    return chart::planeFraction(fullRange, plane()->translateBack(pixel));
}

bool _Plot::cursorsHidden() const { return !owner->cursorWidget || owner->cursorWidget->hidden; }

int _Plot::cursorHit(int x) const
{
    if (!owner->cursorWidget)
        return 0;
    if (std::abs(x - owner->cursorWidget->_getPos(0).x()) <= 2)
        return 1;
    if (std::abs(x - owner->cursorWidget->_getPos(1).x()) <= 2)
        return 2;
    return 0;
}

template <typename F> void _Plot::passToChart(F handle)
{
    if (chart::changesView(plane(), handle))
        owner->handleRubberBandZoomedEvent();
}

void _Plot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
        event->ignore();
        return;
    }
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

void _Plot::mouseReleaseEvent(QMouseEvent* event)
{
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
    if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
        event->ignore();
        return;
    }
    passToChart([&] { KChart::Chart::mouseReleaseEvent(event); });
}

void _Plot::mouseMoveEvent(QMouseEvent* event)
{
    if (panning) {
        event->accept();
        updateRange();
        if (!usable(fullRange))
            return;
        const QPointF f = fractionAt(event->localPos());
        plane()->setZoomCenter(plane()->zoomCenter() + (panAnchor - f));
        panAnchor = fractionAt(event->localPos());
        enforceViewLimitsAndUpdate();
        return;
    }
    if (draggedCursor != 0) {
        event->accept();
        const double x = plane()->translateBack(rounded(event->localPos())).x();
        if (owner->cursorWidget)
            owner->cursorWidget->setCursor(draggedCursor == 1 ? 0 : 1, x);
        return;
    }
    setCursor(!cursorsHidden() && cursorHit(event->pos().x()) != 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
    KChart::Chart::mouseMoveEvent(event);
}

void _Plot::wheelEvent(QWheelEvent* event)
{
    event->accept();
    auto* p = plane();
    updateRange();
    if (!usable(fullRange))
        return;
    const QPointF pos = event->position();
    QPointF anchor = chart::planeFraction(fullRange, p->translateBack(pos));

    // Zooming over an event marker keeps the marker itself under the pointer.
    const QPoint pixel = pos.toPoint();
    const auto diagrams = p->diagrams();
    for (auto* diagram : diagrams) {
        const QModelIndex idx = diagram->indexAt(pixel);
        const auto* model = diagram->model();
        if (!model || !model->data(idx, Qt::DisplayRole).isValid())
            continue;
        if (model->index(idx.row(), 3).data(Qt::UserRole).toInt() == chart::EventMarker) {
            const float x = model->index(idx.row(), 0).data().toFloat();
            const float y = model->index(idx.row(), 1).data().toFloat();
            anchor = chart::planeFraction(fullRange, QPointF(x, y));
            break;
        }
    }

    const bool sized = width() != 0 && height() != 0;
    if (sized)
        p->setZoomCenter(anchor);
    double f = event->angleDelta().y() / 80.0;
    if (f < 0)
        f = -1 / f;
    p->setZoomFactorX(std::clamp(p->zoomFactorX() * f, chart::minZoom, chart::maxZoom));
    p->setZoomFactorY(std::clamp(p->zoomFactorY() * f, chart::minZoom, chart::maxZoom));
    if (sized) {
        const QPointF a1 = chart::planeFraction(fullRange, p->translateBack(pos));
        p->setZoomCenter(2 * anchor - a1);
    }
    const qreal zoomX = p->zoomFactorX();
    const qreal zoomY = p->zoomFactorY();
    enforceViewLimitsAndUpdate();
    // Not after a snap back to the whole view.
    if (sized && p->zoomFactorX() == zoomX && p->zoomFactorY() == zoomY)
        keepUnderPointer(anchor, pos);
}

void _Plot::keepUnderPointer(const QPointF& anchor, const QPointF& pixel)
{
    // New tick labels can move the plot area by a few pixels; one more step puts the anchor back.
    if (chart::keepUnderPointer(plane(), fullRange, anchor, pixel)) {
        owner->plotOnlyVisible();
        update();
    }
}

void _Plot::paintEvent(QPaintEvent* event)
{
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
