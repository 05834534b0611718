#include "plotter/TraceDiagram.h"

#include "plotter/TraceModel.h"

#include <QGraphicsPolygonItem>
#include <QPainter>
#include <QPolygonF>
#include <QWidget>

#include <KChartAbstractCoordinatePlane>
#include <KChartChart>
#include <KChartDataValueAttributes>
#include <KChartLineAttributes>
#include <KChartPaintContext>
#include <KChartThreeDLineAttributes>

#include <cmath>
#include <limits>

namespace {

bool isFinite(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

bool valid(const QPair<QPointF, QPointF>& bounds) { return isFinite(bounds.first) && isFinite(bounds.second); }

// KChart's hit box of a line: a rectangle two pixels wide around it and a pixel longer at each end, kept as a
// graphics item with the default pen, whose outline counts as well.
bool hitBoxContains(const QPointF& from, const QPointF& to, const QPointF& point)
{
    const QPointF left = from.x() < to.x() ? from : to;
    const QPointF right = from.x() < to.x() ? to : from;
    const QPointF line = right - left;
    const QPointF unit = line / std::sqrt(line.x() * line.x() + line.y() * line.y());
    const QPointF normal(-unit.y(), unit.x());
    const QPolygonF box(
        QVector<QPointF> { left - unit + normal, left - unit - normal, right + unit - normal, right + unit + normal });
    const QGraphicsPolygonItem item(box);
    return item.boundingRect().intersects(QRectF(point, QSizeF(1, 1))) && item.contains(point);
}

// The scaling KChart applies to pens while it prints onto a device of another resolution.
QPen scaledForDevice(const QPen& pen, QPainter* painter, KChart::AbstractCoordinatePlane* plane)
{
    QPaintDevice* device = painter->device();
    const KChart::Chart* chart = plane->parent();
    if (!device || dynamic_cast<QWidget*>(device) || !chart)
        return pen;
    const qreal factor = qreal(device->logicalDpiX()) / qreal(chart->logicalDpiX());
    if (factor == 1.0)
        return pen;
    QPen scaled = pen;
    scaled.setWidthF(pen.widthF() * factor);
    if (scaled.widthF() == 0.0)
        scaled.setWidthF(factor);
    return scaled;
}

} // namespace

TraceDiagram::TraceDiagram(QWidget* parent)
    : KChart::Plotter(parent)
{
}

const TraceModel* TraceDiagram::traceModel() const
{
    const auto* m = qobject_cast<const TraceModel*>(model());
    // What this diagram does not draw itself (value texts, markers, 3D lines) is KChart's.
    if (!m || dataValueAttributes().isVisible() || threeDLineAttributes().isEnabled())
        return nullptr;
    return m;
}

void TraceDiagram::rowsRefilled()
{
    setDataBoundariesDirty();
    update();
}

void TraceDiagram::setPenIfChanged(const QPen& pen)
{
    if (!(this->pen() == pen))
        setPen(pen);
}

const QPair<QPointF, QPointF> TraceDiagram::calculateDataBoundaries() const
{
    const TraceModel* m = traceModel();
    if (!m)
        return KChart::Plotter::calculateDataBoundaries();
    if (!checkInvariants(true))
        return qMakePair(QPointF(0, 0), QPointF(0, 0));
    return m->bounds();
}

void TraceDiagram::paint(KChart::PaintContext* context)
{
    const TraceModel* m = traceModel();
    if (!m) {
        KChart::Plotter::paint(context);
        return;
    }
    if (!checkInvariants(true))
        return;
    KChart::AbstractCoordinatePlane* const plane = context->coordinatePlane();
    if (!plane || !valid(dataBoundaries()))
        return;
    QPainter* painter = context->painter();
    painter->save();
    if (m->rowCount() > 0) {
        context->setCoordinatePlane(plane->sharedAxisMasterPlane(painter));
        drawLines(context, *m);
        context->setCoordinatePlane(plane);
    }
    painter->restore();
}

void TraceDiagram::drawLines(KChart::PaintContext* context, const TraceModel& m)
{
    // As KChart's Plotter: every row a point, missing rows bridged (or ending the line), no segment between two
    // points that round to the same pixel, runs of joined segments drawn as one polyline.
    segments.clear();
    KChart::AbstractCoordinatePlane* const plane = context->coordinatePlane();
    const bool bridge = lineAttributes().missingValuesPolicy() == KChart::LineAttributes::MissingValuesAreBridged;
    const auto& xs = m.xValues();
    const auto& ys = m.yValues();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QPointF previous(nan, nan); // the last point, in pixels
    for (int row = 0; row < m.rows(); ++row) {
        const double x = xs[size_t(row)];
        const double y = ys[size_t(row)];
        if (std::isnan(x) || std::isnan(y)) {
            if (!bridge)
                previous = QPointF(nan, nan);
            continue;
        }
        const QPointF point = plane->translate(QPointF(x, y));
        if (isFinite(point) && isFinite(previous) && previous.toPoint() != point.toPoint())
            segments.push_back({ previous, point, row });
        previous = point;
    }
    if (segments.empty())
        return;

    QPainter* painter = context->painter();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, antiAliasing());
    const QModelIndex first = m.index(segments.front().row, 0);
    const QPen linePen = pen(first);
    painter->setBrush(brush(first));
    painter->setPen(scaledForDevice(
        QPen(linePen.color(), linePen.width(), linePen.style(), Qt::FlatCap, Qt::MiterJoin), painter, plane));
    QPolygonF run;
    run.reserve(int(segments.size()) + 1);
    for (const Segment& s : segments) {
        if (run.isEmpty() || !(run.last() == s.from)) {
            if (!run.isEmpty())
                painter->drawPolyline(run);
            run.clear();
            run << s.from;
        }
        run << s.to;
    }
    painter->drawPolyline(run);
    painter->restore();
}

QModelIndex TraceDiagram::indexAt(const QPoint& point) const
{
    if (!traceModel())
        return KChart::Plotter::indexAt(point);
    const QPointF p(point);
    constexpr double reach = 3; // beyond the hit box around a segment's ends
    const int rows = model()->rowCount(rootIndex());
    int hit = -1;
    for (const Segment& s : segments) {
        if (hit >= 0 && s.row < rows)
            continue; // the lowest row is found; only a row the model lost since the paint would still win
        if (p.x() < std::min(s.from.x(), s.to.x()) - reach || p.x() > std::max(s.from.x(), s.to.x()) + reach
            || p.y() < std::min(s.from.y(), s.to.y()) - reach || p.y() > std::max(s.from.y(), s.to.y()) + reach)
            continue;
        if (!hitBoxContains(s.from, s.to, p))
            continue;
        // KChart sorts the hits and takes the first: an index of a row that is gone sorts before every other.
        if (s.row >= rows)
            return QModelIndex();
        if (hit < 0)
            hit = s.row;
    }
    return hit < 0 ? QModelIndex() : model()->index(hit, 0, rootIndex());
}
