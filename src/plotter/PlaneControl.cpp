#include "plotter/PlaneControl.h"

#include <QPointer>

#include <KChartAbstractCartesianDiagram>
#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartChart>

#include <algorithm>
#include <climits>
#include <cmath>

namespace chart {

void openUp(double& lo, double& hi, double halfSpan)
{
    if (lo == hi) {
        lo -= halfSpan;
        hi += halfSpan;
    }
}

void extendByFiniteSamples(const std::vector<double>& xs, const std::vector<double>& ys, double& minX, double& maxX,
    double& minY, double& maxY)
{
    const size_t n = std::min(xs.size(), ys.size());
    for (size_t i = 0; i < n; ++i) {
        const double x = xs[i];
        const double y = ys[i];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
}

void releaseDiagrams(KChart::Chart& chart)
{
    // Taken out one by one, each diagram would lay out all the remaining ones again, and a remaining set of data
    // without extent never finishes; out of the chart the plane lays out nothing.
    auto* plane = chart.coordinatePlane();
    if (!plane)
        return;
    const auto diagrams = plane->diagrams();
    // Axes belong to the chart's layout, which lets go of them with the plane: nobody else deletes them.
    QList<QPointer<KChart::CartesianAxis>> axes;
    for (auto* diagram : diagrams) {
        if (auto* cartesian = qobject_cast<KChart::AbstractCartesianDiagram*>(diagram)) {
            const auto own = cartesian->axes();
            for (auto* axis : own)
                axes.append(axis);
        }
    }
    chart.takeCoordinatePlane(plane);
    qDeleteAll(diagrams);
    for (const auto& axis : qAsConst(axes))
        delete axis.data(); // null when shared by two diagrams and already gone
    delete plane;
}

QPointF planeFraction(const QRectF& full, const QPointF& p)
{
    return QPointF((p.x() - full.x()) / full.width(), (p.y() - full.y()) / full.height());
}

void setZoom(KChart::CartesianCoordinatePlane* plane, qreal factorX, qreal factorY)
{
    plane->setZoomFactorX(factorX);
    plane->setZoomFactorY(factorY);
}

QRectF fullDataRange(KChart::CartesianCoordinatePlane* plane)
{
    const qreal fx = plane->zoomFactorX();
    const qreal fy = plane->zoomFactorY();
    const QPointF centre = plane->zoomCenter();
    setZoom(plane, 1, 1);
    plane->setZoomCenter(QPointF(0.5, 0.5));
    const QRectF full = plane->visibleDataRange();
    setZoom(plane, fx, fy);
    plane->setZoomCenter(centre);
    return full;
}

bool changesView(KChart::CartesianCoordinatePlane* plane, const std::function<void()>& handle)
{
    const qreal fx = plane->zoomFactorX();
    const qreal fy = plane->zoomFactorY();
    const QPointF centre = plane->zoomCenter();
    handle();
    return plane->zoomFactorX() != fx || plane->zoomFactorY() != fy || plane->zoomCenter() != centre;
}

bool keepUnderPointer(
    KChart::CartesianCoordinatePlane* plane, const QRectF& full, const QPointF& anchor, const QPointF& pixel)
{
    const QPointF drift = planeFraction(full, plane->translateBack(pixel)) - anchor;
    const QPointF off
        = plane->translate(QPointF(full.x() + anchor.x() * full.width(), full.y() + anchor.y() * full.height()))
        - pixel;
    if (std::abs(off.x()) < 0.5 && std::abs(off.y()) < 0.5)
        return false;
    const QPointF before = plane->zoomCenter();
    plane->setZoomCenter(before - drift);
    applyViewLimits(plane);
    return plane->zoomCenter() != before;
}

void applyViewLimits(KChart::CartesianCoordinatePlane* plane)
{
    plane->setZoomFactorX(std::clamp(plane->zoomFactorX(), minZoom, maxZoom));
    plane->setZoomFactorY(std::clamp(plane->zoomFactorY(), minZoom, maxZoom));
    if (plane->zoomFactorX() < snapBackZoom || plane->zoomFactorY() < snapBackZoom) {
        plane->setZoomCenter(QPointF(0.5, 0.5));
        plane->setZoomFactorX(1);
        plane->setZoomFactorY(1);
    }
    QPointF c = plane->zoomCenter();
    if (c.x() < -panMargin)
        plane->setZoomCenter(QPointF(-panMargin, c.y()));
    c = plane->zoomCenter();
    if (c.x() > 1 + panMargin)
        plane->setZoomCenter(QPointF(1 + panMargin, c.y()));
    c = plane->zoomCenter();
    if (c.y() < -panMargin)
        plane->setZoomCenter(QPointF(c.x(), -panMargin));
    c = plane->zoomCenter();
    if (c.y() > 1 + panMargin)
        plane->setZoomCenter(QPointF(c.x(), 1 + panMargin));
    // A centre that is not a number (an empty or degenerate range) would poison every later view.
    c = plane->zoomCenter();
    if (!std::isfinite(c.x()) || !std::isfinite(c.y()))
        plane->setZoomCenter(QPointF(0.5, 0.5));
}

std::pair<double, double> visibleXRange(KChart::CartesianCoordinatePlane* plane)
{
    const QRectF area = plane->visibleDiagramArea();
    return { plane->translateBack(area.bottomLeft()).x(), plane->translateBack(area.bottomRight()).x() };
}

QPoint pixelOf(KChart::CartesianCoordinatePlane* plane, double x, double y)
{
    const QPointF pixel = plane->translate(QPointF(x, y));
    if (!std::isfinite(pixel.x()) || !std::isfinite(pixel.y()) || std::abs(pixel.x()) > 1e9
        || std::abs(pixel.y()) > 1e9)
        return QPoint(INT_MIN / 2, INT_MIN / 2);
    return QPoint(static_cast<int>(std::floor(pixel.x() + 0.5)), static_cast<int>(std::floor(pixel.y() + 0.5)));
}

} // namespace chart
