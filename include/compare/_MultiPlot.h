#pragma once

#include <KChartChart>

#include <QPointF>
#include <QRectF>

class MultiPlotter;

namespace KChart {
class CartesianCoordinatePlane;
}

// The comparison chart widget: view state and limits, wheel zoom, pan, cursor dragging and paint order; inert
// until the first trace is plotted.
class _MultiPlot : public KChart::Chart {
    Q_OBJECT
public:
    _MultiPlot(MultiPlotter* owner, QWidget* parent);

    bool hasData = false; ///< from the first plotted trace until the last is removed
    bool panning = false;
    int draggedCursor = 0; ///< 0 none, 1 cursor A, 2 cursor B
    QPointF panAnchor { 0.5, 0.5 };
    QRectF fullRange;
    MultiPlotter* owner = nullptr;

    KChart::CartesianCoordinatePlane* plane() const;

    void zoom(float factor);
    void zoom(float factorX, float factorY);
    void resetView();
    void enforceViewLimitsAndUpdate();
    QRectF updateRange();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF fractionAt(const QPointF& pixel) const;
    int cursorHit(int x) const;
    bool cursorsHidden() const;
    /// Lets the base class handle a press or release and reports a rubber-band zoom or restore it caused.
    template <typename F> void passToChart(F handle);
};
