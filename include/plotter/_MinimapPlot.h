#pragma once

#include <KChartChart>

#include <QRectF>

class MinimapPlotter;
class MinimapSource;

namespace KChart {
class CartesianCoordinatePlane;
}

// The minimap's chart: draws the main chart's visible range as a rectangle and re-centres the main view on clicks.
class _MinimapPlot : public KChart::Chart {
    Q_OBJECT
public:
    _MinimapPlot(MinimapSource* mainPlotter, MinimapPlotter* owner, QWidget* parent);

    bool dragging = false;
    MinimapSource* mainPlotter = nullptr;
    MinimapPlotter* owner = nullptr;

    KChart::CartesianCoordinatePlane* plane() const;
    /// From now on every re-plot of the main chart repaints this one.
    void setMainMini();
    /// Centres the main view on the data point under a minimap pixel, at its current zoom.
    void centreMainViewAt(const QPointF& pixel);
    /// Repaints when the main chart's view has moved since the last paint; otherwise the picture stands.
    void followMainView();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF viewRect() const;
    QRectF shownView; ///< the view rectangle of the last paint, in pixels
};
