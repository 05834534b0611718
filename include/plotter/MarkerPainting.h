#pragma once

#include <QColor>
#include <QPixmap>

class QAbstractItemModel;
class QPainter;
class QSize;

namespace KChart {
class CartesianCoordinatePlane;
}

// What KChart does not draw on a trace chart: the cursor bars and letters, the axis units and the small logo.
namespace chart {

/// The colours and the logo of that painting: the application's on screen, the report's on paper.
struct MarkerStyle {
    QColor cursorLineColour;
    QPixmap logo; ///< none when null
    bool cursorLetters = true; ///< "A" and "B" at the bars: the A/B cursor mode
};

/// The style the application's settings give.
MarkerStyle applicationMarkerStyle();

/// Cursor bars under the chart's drawing (cursors null when hidden: no bars) and the logo placed by ownerSize.
void paintMarkerLines(QPainter& painter, KChart::CartesianCoordinatePlane* plane, int chartWidth,
    const QSize& ownerSize, const QAbstractItemModel* cursors, const MarkerStyle& style);

/// Cursor letters in A/B mode (cursors null when hidden: no letters) and the axis units in the text colour.
void paintMarkerLabelsAndUnits(QPainter& painter, KChart::CartesianCoordinatePlane* plane, int chartWidth,
    const QAbstractItemModel* cursors, bool xInKm, const QColor& textColour, const MarkerStyle& style);

} // namespace chart
