#pragma once

#include <KChartChart>

#include <QPoint>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace KChart {
class CartesianCoordinatePlane;
}

// What the single-trace and the comparison chart widgets share: view state and limits, wheel zoom anchored at the
// pointer, middle-button pan, dragging cursors A and B, KChart's rubber band, and the paint order (marker lines
// under the diagrams, labels over them). The owner of the widget supplies the re-plot, the cursors and the painting.
class ChartView : public KChart::Chart {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent);

    bool panning = false;
    int draggedCursor = 0; ///< 0 none, 1 cursor A, 2 cursor B
    QPointF panAnchor { 0.5, 0.5 };
    QRectF fullRange;

    KChart::CartesianCoordinatePlane* plane() const;

    void zoom(float factor);
    void zoom(float factorX, float factorY);
    void resetView();
    void enforceViewLimitsAndUpdate();
    QRectF updateRange();

    /// Zoom factor of a wheel turn of this vertical angle delta: 1.5 per standard notch of 120 (in for a turn away
    /// from the user, out towards), and the same rate for the smaller steps of fine wheels and touchpads.
    static double wheelFactor(int angleDelta);

protected:
    /// An inert chart ignores the mouse, the wheel and the zoom calls, and paints only the bare chart.
    virtual bool inert() const { return false; }
    /// Re-plots the visible part of the data and schedules a repaint.
    virtual void replotVisible() = 0;
    /// KChart's rubber band zoomed in or restored the previous view.
    virtual void viewChangedByChart() = 0;
    /// False while there is no cursor panel to drag.
    virtual bool hasCursors() const = 0;
    virtual bool cursorsHidden() const = 0;
    /// Pixel position of cursor 0 (A) or 1 (B).
    virtual QPoint cursorPixel(int which) const = 0;
    virtual void moveCursor(int which, double x) = 0;
    /// Plane fraction that stays under the pointer while the wheel zooms.
    virtual QPointF wheelAnchor(const QPointF& pixel) const;
    virtual void paintUnder(QPainter& painter) = 0;
    virtual void paintOver(QPainter& painter) = 0;

    /// Whether each pan step reads the pointer rounded to whole pixels (the press always does).
    bool roundPanSteps = false;

    QPointF fractionAt(const QPointF& pixel) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int cursorHit(int x) const;
    /// Lets the base class handle a press or release and reports a rubber-band zoom or restore it caused.
    template <typename F> void passToChart(F handle);
};
