#pragma once

class QAbstractItemModel;
class QColor;
class QPainter;
class QSize;

namespace KChart {
class CartesianCoordinatePlane;
}

// What KChart does not draw on a trace chart: the cursor bars and letters, the axis units and the small logo.
namespace chart {

/// Cursor bars under the chart's drawing (cursors null when hidden: no bars) and the logo placed by ownerSize.
void paintMarkerLines(QPainter& painter, KChart::CartesianCoordinatePlane* plane, int chartWidth,
    const QSize& ownerSize, const QAbstractItemModel* cursors);

/// Cursor letters in A/B mode (cursors null when hidden: no letters) and the axis units in the text colour.
void paintMarkerLabelsAndUnits(QPainter& painter, KChart::CartesianCoordinatePlane* plane, int chartWidth,
    const QAbstractItemModel* cursors, bool xInKm, const QColor& textColour);

} // namespace chart
