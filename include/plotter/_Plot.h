#pragma once

#include <KChartChart>

#include <QPointF>
#include <QRectF>

class Plotter;

namespace KChart {
class CartesianCoordinatePlane;
}

// The single-trace chart widget: view state, view limits, wheel zoom, pan, cursor dragging and paint order.
class _Plot : public KChart::Chart {
    Q_OBJECT
public:
    _Plot(Plotter* owner, QWidget* parent);

    bool panning = false;
    int draggedCursor = 0; ///< 0 none, 1 cursor A, 2 cursor B
    QPointF panAnchor { 0.5, 0.5 };
    QRectF fullRange;
    Plotter* owner = nullptr;

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
    void keepUnderPointer(const QPointF& anchor, const QPointF& pixel);
    /// Lets the base class handle a press or release and reports a rubber-band zoom or restore it caused.
    template <typename F> void passToChart(F handle);
};
