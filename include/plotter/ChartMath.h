#pragma once

#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QColor;
class QFontMetrics;
class QMouseEvent;
class QObject;
class QStandardItemModel;
class QWidget;

namespace KChart {
class AbstractDiagram;
class Chart;
class CartesianAxis;
class CartesianCoordinatePlane;
} // namespace KChart

// View and axis arithmetic shared by the single-trace chart, the minimap and the comparison chart.
namespace chart {

enum PointKind { TracePoint = 0, EventMarker = 1, CursorMarker = 2, MinMaxPoint = 3 };

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

/// Tick values (data units) and their labels: about count round values covering min..max.
QMap<qreal, QString> generateTicks(double min, double max, int count, bool inMetres);

/// "%f" text without trailing zeros and point: 2.500000 -> 2.5, 3.000000 -> 3.
QString rtrim(const std::string& text);

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

/// Pointer position in chart pixels, whichever watched widget (chart, diagram, owner) the event came through.
QPoint chartPosition(QWidget& chart, QObject* watched, QMouseEvent* event);

/// Clamps zoom factors and centre: zooming out past the whole view snaps back to it, panning stops 3 % outside.
void applyViewLimits(KChart::CartesianCoordinatePlane* plane);

/// Annotations, rulers, text colours and grid of both axes for the plane's visible range; returns whether the
/// visible width is at least 1 km.
bool styleAxes(KChart::CartesianCoordinatePlane* plane, KChart::CartesianAxis* xAxis, KChart::CartesianAxis* yAxis,
    const QColor& textColour);

/// First and last sample to plot for a visible window: one sample beyond each edge (two on the left).
std::pair<unsigned, unsigned> visibleIndexRange(const std::vector<double>& xs, double left, double right);

/// Diamond markers of the given size and colour, no value texts; invisible ones only pin their data to the plane.
void setDiamondMarkers(KChart::AbstractDiagram* diagram, bool visible, qreal size, const QColor& colour);

/// Baseline starts of the cursor letters "A" and "B": when they would overlap, the left-hand one moves further left.
std::pair<QPointF, QPointF> separateLetters(QPointF a, QPointF b, const QFontMetrics& metrics);

/// The tool tip of a trace sample; tail follows the sample index and closes the table.
QString pointToolTip(double x, double y, unsigned index, const QString& tail = QStringLiteral("</td></tr></table>"));

/// Writes one point row (x, y, tool tip, kind, number); the model must have the row and five columns.
void setPointRow(
    QStandardItemModel& model, int row, double x, double y, const QString& toolTip, int kind, double number);

} // namespace chart
