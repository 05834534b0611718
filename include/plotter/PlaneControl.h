#pragma once

#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <utility>
#include <vector>

namespace KChart {
class Chart;
class CartesianCoordinatePlane;
} // namespace KChart

// The data range and the view of a chart's plane, shared by the single-trace chart, the minimap, the comparison
// chart and the report's chart.
namespace chart {

constexpr double minZoom = 0.7;
constexpr double maxZoom = 100000;
constexpr double snapBackZoom = 0.9;
constexpr double panMargin = 0.03;

/// Opens a range without extent around its value: a plane whose data has no height or width never finishes laying
/// out once it is zoomed.
void openUp(double& lo, double& hi, double halfSpan);

/// Widens [minX, maxX] × [minY, maxY] to every sample of xs/ys whose two values are finite.
void extendByFiniteSamples(const std::vector<double>& xs, const std::vector<double>& ys, double& minX, double& maxX,
    double& minY, double& maxY);

/// Deletes the chart's plane with all its diagrams and their axes, before the models they show, without laying anything
/// out.
void releaseDiagrams(KChart::Chart& chart);

/// Position of a data point as a fraction of the full range: 0 at the left and at the top.
QPointF planeFraction(const QRectF& fullRange, const QPointF& point);

/// Sets both zoom factors (the plane's own setZoomFactors() leaves y alone whenever x changes).
void setZoom(KChart::CartesianCoordinatePlane* plane, qreal factorX, qreal factorY);

/// The data rectangle the plane shows at zoom 1 and centre (0.5, 0.5); the plane's view is left unchanged.
QRectF fullDataRange(KChart::CartesianCoordinatePlane* plane);

/// Runs handle and tells whether it changed the plane's zoom or centre: the plane zooms to a rubber band (and
/// restores the previous view on a right click) without telling anyone.
bool changesView(KChart::CartesianCoordinatePlane* plane, const std::function<void()>& handle);

/// After a wheel zoom: new tick labels can move the plot area by a few pixels; moves the centre so that the anchor
/// (a plane fraction of fullRange) is back under the pixel. Returns whether the view changed.
bool keepUnderPointer(
    KChart::CartesianCoordinatePlane* plane, const QRectF& fullRange, const QPointF& anchor, const QPointF& pixel);

/// Clamps zoom factors and centre: zooming out past the whole view snaps back to it, panning stops 3 % outside.
void applyViewLimits(KChart::CartesianCoordinatePlane* plane);

/// The distances at the left and right edge of the visible plot rectangle (the plane's diagramArea() spans the
/// whole zoomed diagram).
std::pair<double, double> visibleXRange(KChart::CartesianCoordinatePlane* plane);

/// A data point in chart pixels, rounded; far off the chart when the plane cannot place it.
QPoint pixelOf(KChart::CartesianCoordinatePlane* plane, double x, double y);

} // namespace chart
