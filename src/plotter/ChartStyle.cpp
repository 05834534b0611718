#include "plotter/ChartStyle.h"

#include "plotter/Ticks.h"

#include <QColor>
#include <QFontMetrics>
#include <QSignalBlocker>

#include <KChartAbstractDiagram>
#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartDataValueAttributes>
#include <KChartGridAttributes>
#include <KChartMarkerAttributes>
#include <KChartRulerAttributes>
#include <KChartTextAttributes>

#include <cmath>
#include <functional>

namespace chart {

bool styleAxes(KChart::CartesianCoordinatePlane* plane, KChart::CartesianAxis* xAxis, KChart::CartesianAxis* yAxis,
    const QColor& textColour)
{
    // Every axis and grid setter lays the whole chart out again: set only what changed, with the plane quiet, and
    // lay out once.
    const QRectF r = plane->visibleDataRange();
    const bool inKm = r.width() >= 1;
    const auto xTicks = generateTicks(r.x(), r.x() + r.width(), 10, !inKm);
    const auto yTicks = generateTicks(r.y() + r.height(), r.y(), 10, false);

    KChart::RulerAttributes ruler = yAxis->rulerAttributes();
    ruler.setShowMajorTickMarks(false);
    ruler.setShowMinorTickMarks(false);

    KChart::TextAttributes text = xAxis->textAttributes();
    QPen pen = text.pen();
    pen.setColor(textColour);
    text.setPen(pen);
    KChart::TextAttributes rotated = text;
    rotated.setRotation(-90);
    rotated.setAutoRotate(false);

    KChart::GridAttributes grid = plane->gridAttributes(Qt::Horizontal);
    grid.setGridVisible(true);
    grid.setSubGridVisible(true);
    grid.setLinesOnAnnotations(true);

    bool changed = false;
    {
        const QSignalBlocker quiet(plane);
        const auto set = [&changed](bool differs, const std::function<void()>& apply) {
            if (differs) {
                apply();
                changed = true;
            }
        };
        set(xAxis->annotations() != xTicks, [&] { xAxis->setAnnotations(xTicks); });
        set(yAxis->annotations() != yTicks, [&] { yAxis->setAnnotations(yTicks); });
        for (auto* axis : { xAxis, yAxis })
            set(!(axis->rulerAttributes() == ruler), [&] { axis->setRulerAttributes(ruler); });
        set(!(xAxis->textAttributes() == text), [&] { xAxis->setTextAttributes(text); });
        set(!(yAxis->textAttributes() == rotated), [&] { yAxis->setTextAttributes(rotated); });
        for (auto* axis : { xAxis, yAxis })
            set(!(axis->titleTextAttributes() == text), [&] { axis->setTitleTextAttributes(text); });
        for (const auto orientation : { Qt::Horizontal, Qt::Vertical })
            set(!(plane->gridAttributes(orientation) == grid), [&] { plane->setGridAttributes(orientation, grid); });
    }
    if (changed) {
        plane->layoutPlanes();
        plane->update();
    }
    return inKm;
}

void setDiamondMarkers(KChart::AbstractDiagram* diagram, bool visible, qreal size, const QColor& colour)
{
    KChart::DataValueAttributes dva = diagram->dataValueAttributes();
    KChart::MarkerAttributes marker = dva.markerAttributes();
    marker.setVisible(visible);
    marker.setMarkerStyle(KChart::MarkerAttributes::MarkerDiamond);
    marker.setMarkerSize(QSizeF(size, size));
    if (colour.isValid())
        marker.setMarkerColor(colour);
    dva.setMarkerAttributes(marker);
    KChart::TextAttributes text = dva.textAttributes();
    text.setVisible(false);
    dva.setTextAttributes(text);
    dva.setVisible(visible);
    diagram->setDataValueAttributes(dva);
}

std::pair<QPointF, QPointF> separateLetters(QPointF a, QPointF b, const QFontMetrics& metrics)
{
    const QRect rectA = metrics.tightBoundingRect(QStringLiteral("A"));
    const QRect rectB = metrics.tightBoundingRect(QStringLiteral("B"));
    const QRect& leftRect = a.x() <= b.x() ? rectA : rectB;
    const double gap = leftRect.right() - leftRect.left() + 9;
    if (std::abs(a.x() - b.x()) <= gap) {
        if (a.x() <= b.x())
            a.rx() -= rectA.right() - rectA.left() + 6;
        else
            b.rx() -= rectB.right() - rectB.left() + 11;
    }
    return { a, b };
}

} // namespace chart
