#pragma once

#include <QPointF>

#include <utility>

class QColor;
class QFontMetrics;

namespace KChart {
class AbstractDiagram;
class CartesianAxis;
class CartesianCoordinatePlane;
} // namespace KChart

// How the trace charts look: axes, grid and markers.
namespace chart {

/// Annotations, rulers, text colours and grid of both axes for the plane's visible range; returns whether the
/// visible width is at least 1 km.
bool styleAxes(KChart::CartesianCoordinatePlane* plane, KChart::CartesianAxis* xAxis, KChart::CartesianAxis* yAxis,
    const QColor& textColour);

/// Diamond markers of the given size and colour, no value texts; invisible ones only pin their data to the plane.
void setDiamondMarkers(KChart::AbstractDiagram* diagram, bool visible, qreal size, const QColor& colour);

/// Baseline starts of the cursor letters "A" and "B": when they would overlap, the left-hand one moves further left.
std::pair<QPointF, QPointF> separateLetters(QPointF a, QPointF b, const QFontMetrics& metrics);

} // namespace chart
