#include "plotter/ChartMath.h"
#include "widgets/ReadoutNumber.h"

#include <QColor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStringBuilder>
#include <QWidget>

#include <KChartAbstractCartesianDiagram>
#include <KChartAbstractDiagram>
#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartChart>
#include <KChartDataValueAttributes>
#include <KChartGridAttributes>
#include <KChartMarkerAttributes>
#include <KChartRulerAttributes>
#include <KChartTextAttributes>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace chart {

namespace {
    // A runaway range (huge offsets, tiny steps) must still give a short list.
    constexpr int maxTicks = 200;

    std::string fixed(double v)
    {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%f", v);
        return buffer;
    }
} // namespace

void openUp(double& lo, double& hi, double halfSpan)
{
    if (lo == hi) {
        lo -= halfSpan;
        hi += halfSpan;
    }
}

void extendByFiniteSamples(const std::vector<double>& xs, const std::vector<double>& ys, double& minX, double& maxX,
    double& minY, double& maxY)
{
    const size_t n = std::min(xs.size(), ys.size());
    for (size_t i = 0; i < n; ++i) {
        const double x = xs[i];
        const double y = ys[i];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
}

void releaseDiagrams(KChart::Chart& chart)
{
    // Taken out one by one, each diagram would lay out all the remaining ones again, and a remaining set of data
    // without extent never finishes; out of the chart the plane lays out nothing.
    auto* plane = chart.coordinatePlane();
    if (!plane)
        return;
    const auto diagrams = plane->diagrams();
    // Axes belong to the chart's layout, which lets go of them with the plane: nobody else deletes them.
    QList<QPointer<KChart::CartesianAxis>> axes;
    for (auto* diagram : diagrams) {
        if (auto* cartesian = qobject_cast<KChart::AbstractCartesianDiagram*>(diagram)) {
            const auto own = cartesian->axes();
            for (auto* axis : own)
                axes.append(axis);
        }
    }
    chart.takeCoordinatePlane(plane);
    qDeleteAll(diagrams);
    for (const auto& axis : qAsConst(axes))
        delete axis.data(); // null when shared by two diagrams and already gone
    delete plane;
}

QString rtrim(const std::string& text)
{
    QString s = QString::fromStdString(text);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    while (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

QMap<qreal, QString> generateTicks(double min, double max, int count, bool inMetres)
{
    QMap<qreal, QString> ticks;
    if (!std::isfinite(min) || !std::isfinite(max))
        return ticks;
    if (min == max) {
        ticks.insert(min, rtrim(fixed(min)));
        return ticks;
    }
    if (max < min || count < 2)
        return ticks;

    const double range = max - min;
    const double e = std::floor(std::log10(range));
    const double f = range / std::pow(10.0, e);
    const double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
    const double niceRange = nice * std::pow(10.0, e);
    const double d = niceRange / (count - 1);
    const double e2 = std::floor(std::log10(d));
    const double f2 = d / std::pow(10.0, e2);
    const double step = (f2 < 1.5 ? 1 : f2 < 3 ? 2 : f2 < 7 ? 5 : 10) * std::pow(10.0, e2);
    if (!std::isfinite(step) || step <= 0)
        return ticks;

    double v = step * std::floor(min / step);
    const double end = step * std::ceil(max / step) + 0.5 * step;
    for (int n = 0; v <= end && n < maxTicks; ++n) {
        const QString text = rtrim(fixed(v));
        // Only rounding residue is snapped: steps below the "%f" resolution would snap every tick to 0.
        if ((text == QLatin1String("-0") || text == QLatin1String("0")) && std::abs(v) < 0.5 * step)
            v = 0;
        ticks.insert(v, inMetres ? rtrim(fixed(v * 1000)) : rtrim(fixed(v)));
        const double next = v + step;
        if (next == v) // the step is below the spacing of doubles here
            break;
        v = next;
    }
    return ticks;
}

QPointF planeFraction(const QRectF& full, const QPointF& p)
{
    return QPointF((p.x() - full.x()) / full.width(), (p.y() - full.y()) / full.height());
}

void setZoom(KChart::CartesianCoordinatePlane* plane, qreal factorX, qreal factorY)
{
    plane->setZoomFactorX(factorX);
    plane->setZoomFactorY(factorY);
}

QRectF fullDataRange(KChart::CartesianCoordinatePlane* plane)
{
    const qreal fx = plane->zoomFactorX();
    const qreal fy = plane->zoomFactorY();
    const QPointF centre = plane->zoomCenter();
    setZoom(plane, 1, 1);
    plane->setZoomCenter(QPointF(0.5, 0.5));
    const QRectF full = plane->visibleDataRange();
    setZoom(plane, fx, fy);
    plane->setZoomCenter(centre);
    return full;
}

bool changesView(KChart::CartesianCoordinatePlane* plane, const std::function<void()>& handle)
{
    const qreal fx = plane->zoomFactorX();
    const qreal fy = plane->zoomFactorY();
    const QPointF centre = plane->zoomCenter();
    handle();
    return plane->zoomFactorX() != fx || plane->zoomFactorY() != fy || plane->zoomCenter() != centre;
}

bool keepUnderPointer(
    KChart::CartesianCoordinatePlane* plane, const QRectF& full, const QPointF& anchor, const QPointF& pixel)
{
    const QPointF drift = planeFraction(full, plane->translateBack(pixel)) - anchor;
    const QPointF off
        = plane->translate(QPointF(full.x() + anchor.x() * full.width(), full.y() + anchor.y() * full.height()))
        - pixel;
    if (std::abs(off.x()) < 0.5 && std::abs(off.y()) < 0.5)
        return false;
    const QPointF before = plane->zoomCenter();
    plane->setZoomCenter(before - drift);
    applyViewLimits(plane);
    return plane->zoomCenter() != before;
}

QPoint chartPosition(QWidget& chart, QObject* watched, QMouseEvent* event)
{
    const QPoint local(qRound(event->localPos().x()), qRound(event->localPos().y()));
    if (watched == &chart)
        return local;
    return chart.mapFromGlobal(event->globalPos());
}

void applyViewLimits(KChart::CartesianCoordinatePlane* plane)
{
    plane->setZoomFactorX(std::clamp(plane->zoomFactorX(), minZoom, maxZoom));
    plane->setZoomFactorY(std::clamp(plane->zoomFactorY(), minZoom, maxZoom));
    if (plane->zoomFactorX() < snapBackZoom || plane->zoomFactorY() < snapBackZoom) {
        plane->setZoomCenter(QPointF(0.5, 0.5));
        plane->setZoomFactorX(1);
        plane->setZoomFactorY(1);
    }
    QPointF c = plane->zoomCenter();
    if (c.x() < -panMargin)
        plane->setZoomCenter(QPointF(-panMargin, c.y()));
    c = plane->zoomCenter();
    if (c.x() > 1 + panMargin)
        plane->setZoomCenter(QPointF(1 + panMargin, c.y()));
    c = plane->zoomCenter();
    if (c.y() < -panMargin)
        plane->setZoomCenter(QPointF(c.x(), -panMargin));
    c = plane->zoomCenter();
    if (c.y() > 1 + panMargin)
        plane->setZoomCenter(QPointF(c.x(), 1 + panMargin));
    // A centre that is not a number (an empty or degenerate range) would poison every later view.
    c = plane->zoomCenter();
    if (!std::isfinite(c.x()) || !std::isfinite(c.y()))
        plane->setZoomCenter(QPointF(0.5, 0.5));
}

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

std::pair<unsigned, unsigned> visibleIndexRange(const std::vector<double>& xs, double left, double right)
{
    if (xs.empty())
        return { 0, 0 };
    // Distances increase, so binary searches find what a walk from the start finds.
    const auto notLeft = std::partition_point(xs.begin(), xs.end(), [left](double x) { return x <= left; });
    const size_t iL = notLeft == xs.begin() ? 0 : static_cast<size_t>(notLeft - xs.begin()) - 1;
    const auto beyond = std::partition_point(xs.begin(), xs.end(), [right](double x) { return !(x > right); });
    size_t iR = static_cast<size_t>(beyond - xs.begin());
    if (iR == xs.size() || iR == 0)
        iR = xs.size() - 1;
    const size_t first = iL > 0 ? iL - 1 : 0;
    const size_t last = std::min(xs.size() - 1, iR);
    return { static_cast<unsigned>(first), static_cast<unsigned>(last) };
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

QString pointToolTip(double x, double y, unsigned index, const QString& tail)
{
    // Built piece by piece: the tail (a file name) must not be searched for placeholders.
    return QStringLiteral("<table><tr><td>X</td><td>") % num(x) % QStringLiteral(" km</td></tr><tr><td>Y</td><td>")
        % num(y) % QStringLiteral(" dB</td></tr><tr><td>#</td><td>") % QString::number(index) % tail;
}

void setPointRow(
    QStandardItemModel& model, int row, double x, double y, const QString& toolTip, int kind, double number)
{
    model.setData(model.index(row, 0), x, Qt::DisplayRole);
    model.setData(model.index(row, 1), y, Qt::DisplayRole);
    model.setData(model.index(row, 2), toolTip, Qt::ToolTipRole);
    model.setData(model.index(row, 3), kind, Qt::UserRole);
    model.setData(model.index(row, 4), number, Qt::DisplayRole);
}

} // namespace chart
