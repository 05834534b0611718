#include "report/ReportChart.h"

#include "analysis/EventTable.h"
#include "plotter/ChartStyle.h"
#include "plotter/Decimation.h"
#include "plotter/MarkerPainting.h"
#include "plotter/PlaneControl.h"
#include "plotter/PointRows.h"
#include "plotter/Ticks.h"
#include "report/Output.h"
#include "sor/SORParser.h"

#include <QAbstractTableModel>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QSvgGenerator>

#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartGridAttributes>
#include <KChartMeasure>
#include <KChartPlotter>
#include <KChartTextAttributes>

#include <algorithm>
#include <cmath>
#include <limits>

namespace report {

namespace {

    // The decimated points of one trace: x and y columns, NaN rows as gaps; no cells to allocate per point.
    class PointsModel : public QAbstractTableModel {
    public:
        void setPoints(std::vector<QPointF> p)
        {
            beginResetModel();
            points = std::move(p);
            endResetModel();
        }
        int rowCount(const QModelIndex& parent = QModelIndex()) const override
        {
            return parent.isValid() ? 0 : static_cast<int>(points.size());
        }
        int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }
        QVariant data(const QModelIndex& index, int role) const override
        {
            if (role != Qt::DisplayRole || !index.isValid())
                return QVariant();
            const QPointF& p = points[static_cast<size_t>(index.row())];
            const double v = index.column() == 0 ? p.x() : p.y();
            return std::isnan(v) ? QVariant() : QVariant(v);
        }

    private:
        std::vector<QPointF> points;
    };

    const QColor textColour = Qt::black; // the bright theme's
    constexpr qreal tickFontSize = 14; ///< logical pixels, as on a full-screen chart

} // namespace

struct ReportChart::Trace {
    sor::SORParser* parser = nullptr;
    QColor colour;
    PointsModel model;
    KChart::Plotter* diagram = nullptr; ///< owned by the plane
};

ReportChart::ReportChart(const Style& s, Decimation d)
    : style(s)
    , decimation(d)
{
    chart.setObjectName(QStringLiteral("ReportChart"));
    plane = static_cast<KChart::CartesianCoordinatePlane*>(chart.coordinatePlane());
    minMaxDiagram = new KChart::Plotter();
    plane->replaceDiagram(minMaxDiagram);
    minMaxDiagram->setPen(QPen(Qt::NoPen));
    chart::setDiamondMarkers(minMaxDiagram, false, 20, QColor());
    xAxis = new KChart::CartesianAxis(minMaxDiagram);
    xAxis->setPosition(KChart::CartesianAxis::Bottom);
    yAxis = new KChart::CartesianAxis(minMaxDiagram);
    yAxis->setPosition(KChart::CartesianAxis::Left);
    minMaxDiagram->addAxis(xAxis);
    minMaxDiagram->addAxis(yAxis);
    // Tick labels of a fixed size: KChart's own size follows the chart's, which on paper is smaller than on screen.
    KChart::TextAttributes text = xAxis->textAttributes();
    text.setFontSize(KChart::Measure(tickFontSize, KChartEnums::MeasureCalculationModeAbsolute));
    text.setAutoShrink(false);
    xAxis->setTextAttributes(text);
    cursorModel.setRowCount(2);
    cursorModel.setColumnCount(1);
}

ReportChart::~ReportChart()
{
    // Diagrams and axes go before the models they show.
    chart::releaseDiagrams(chart);
}

void ReportChart::addTrace(sor::SORParser& parser, const QColor& colour)
{
    auto trace = std::make_unique<Trace>();
    trace->parser = &parser;
    trace->colour = colour;
    trace->diagram = new KChart::Plotter();
    trace->diagram->setModel(&trace->model);
    plane->addDiagram(trace->diagram);
    traces.push_back(std::move(trace));
}

void ReportChart::addEventMarkers(sor::SORParser& parser)
{
    const auto& events = parser.events.keyEvents;
    const size_t count = std::min<size_t>(events.size(), analysis::maxEventMarkers);
    markerModel.clear();
    markerModel.setColumnCount(2);
    int row = 0;
    for (size_t i = 0; i < count; ++i) {
        const double x = events[i].Distance;
        const double y = parser.getYValue(x);
        // A position that is not a number cannot be drawn, and would break the chart's range.
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        markerModel.setRowCount(row + 1);
        markerModel.setData(markerModel.index(row, chart::XColumn), x);
        markerModel.setData(markerModel.index(row, chart::YColumn), y);
        ++row;
    }
    if (!markerDiagram) {
        markerDiagram = new KChart::Plotter();
        markerDiagram->setModel(&markerModel);
        plane->addDiagram(markerDiagram);
    }
    markerDiagram->setPen(QPen(Qt::NoPen));
    chart::setDiamondMarkers(markerDiagram, true, 10, style.eventMarkerColour);
}

void ReportChart::setView(const View& v)
{
    view = v;
    cursorModel.setData(cursorModel.index(0, chart::XColumn), view.cursorA);
    cursorModel.setData(cursorModel.index(1, chart::XColumn), view.cursorB);
}

std::pair<double, double> ReportChart::xRange() const
{
    const QRectF r = plane->visibleDataRange();
    return { r.left(), r.right() };
}

double ReportChart::fibreView(double minX, double maxX) const
{
    double end = -std::numeric_limits<double>::infinity();
    for (const auto& trace : traces) {
        for (const auto& event : trace->parser->events.keyEvents) {
            if (analysis::isFibreEnd(event) && std::isfinite(event.Distance))
                end = std::max(end, event.Distance);
        }
    }
    if (!(end > minX) || end >= maxX)
        return maxX;
    // A tenth of the fibre beyond its end shows the drop into the noise.
    return std::min(maxX, end + std::max(0.1 * (end - minX), 0.001));
}

void ReportChart::fillRange()
{
    // The bounding box of every trace, opened up as on screen, so that the plane's own range is the screen's.
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (const auto& trace : traces) {
        const auto& xy = trace->parser->getXY();
        chart::extendByFiniteSamples(xy[0], xy[1], minX, maxX, minY, maxY);
    }
    const bool spanned = minX <= maxX;
    minMaxModel.clear();
    minMaxModel.setColumnCount(2);
    if (spanned) {
        chart::openUp(minX, maxX, 0.0005); // a metre
        chart::openUp(minY, maxY, 0.5); // a decibel
        // The screen's charts always reach up to 0 dB: KChart counts the further columns of their models (tool tip,
        // kind) as points at level 0.
        minMaxModel.setRowCount(3);
        const double points[3][2] = { { maxX, maxY }, { minX, minY }, { minX, 0 } };
        for (int row = 0; row < 3; ++row) {
            minMaxModel.setData(minMaxModel.index(row, chart::XColumn), points[row][0]);
            minMaxModel.setData(minMaxModel.index(row, chart::YColumn), points[row][1]);
        }
    }
    minMaxDiagram->setModel(&minMaxModel);

    const QRectF r = view.range.normalized();
    const bool fixed
        = view.hasRange && r.width() > 0 && r.height() > 0 && std::isfinite(r.width()) && std::isfinite(r.height());
    // The range shown on screen is taken as it is, not widened to the next grid lines.
    for (const auto orientation : { Qt::Horizontal, Qt::Vertical }) {
        KChart::GridAttributes grid = plane->gridAttributes(orientation);
        grid.setAdjustBoundsToGrid(!fixed, !fixed);
        plane->setGridAttributes(orientation, grid);
    }
    if (fixed) {
        plane->setHorizontalRange(qMakePair(r.left(), r.right()));
        plane->setVerticalRange(qMakePair(r.top(), r.bottom()));
    } else if (spanned) {
        // Without a view of the user's, the fibre fills the width: from the trace's start to a little past its end,
        // not the whole acquisition range, most of which is noise. x from tick to tick, y as the plane adjusts it.
        const auto ticks = chart::generateTicks(minX, fibreView(minX, maxX), 10, false);
        if (ticks.size() > 1)
            plane->setHorizontalRange(qMakePair(ticks.firstKey(), ticks.lastKey()));
        plane->setVerticalRange(qMakePair(qreal(0), qreal(0)));
    }
}

void ReportChart::dryRun(const QSize& logical)
{
    // KChart lays a chart out while it paints; the cursor bars go under the traces and need that layout first.
    QPicture picture;
    QPainter painter(&picture);
    chart.paint(&painter, QRect(QPoint(), logical));
}

void ReportChart::fillTraces()
{
    const QRectF visible = plane->visibleDataRange();
    for (const auto& trace : traces) {
        const auto& xy = trace->parser->getXY();
        std::vector<QPointF> points;
        if (!xy[0].empty()) {
            const auto [first, last] = chart::visibleIndexRange(xy[0], visible.x(), visible.x() + visible.width());
            const bool compress = trace->parser->data.NumberOfPoints >= decimation.from;
            points = chart::minMaxRows(xy[0], xy[1], first, last, decimation.rows, compress);
        }
        trace->model.setPoints(std::move(points));
        QPen pen(trace->colour);
        pen.setWidthF(lineWidth);
        trace->diagram->setPen(pen);
    }
}

void ReportChart::prepare(const QSize& logical)
{
    fillRange();
    for (const auto& trace : traces)
        trace->model.setPoints({});
    dryRun(logical);
    inKm = chart::styleAxes(plane, xAxis, yAxis, textColour);
    dryRun(logical);
    fillTraces();
}

void ReportChart::paint(QPainter& painter, const QRectF& target, const QSize& logical)
{
    if (logical.isEmpty() || target.isEmpty())
        return;
    const qreal sx = target.width() / logical.width();
    const qreal sy = target.height() / logical.height();
    // Lines as wide on paper as on a screen of the device's resolution.
    lineWidth = std::max<qreal>(1, 1 / std::min(sx, sy));
    prepare(logical);

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(sx, sy);
    painter.setClipRect(QRect(QPoint(), logical));
    const QAbstractItemModel* cursors = view.cursorsShown ? &cursorModel : nullptr;
    const chart::MarkerStyle markers { style.cursorLineColour, style.logo, style.cursorMode };
    chart::paintMarkerLines(painter, plane, logical.width(), logical, cursors, markers);
    chart.paint(&painter, QRect(QPoint(), logical));
    chart::paintMarkerLabelsAndUnits(painter, plane, logical.width(), cursors, inKm, textColour, markers);
    painter.restore();
}

QImage ReportChart::image(const QSize& logical, qreal scale)
{
    QImage image((QSizeF(logical) * scale).toSize(), QImage::Format_RGB32);
    const int dotsPerMeter = qRound(reportDpi() / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(QPointF(), QSizeF(logical)), logical);
    return image;
}

bool ReportChart::writeSvg(QIODevice& out, const QSize& logical, const QString& title)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setResolution(reportDpi());
    svg.setSize(logical);
    svg.setViewBox(QRect(QPoint(), logical));
    svg.setTitle(title);
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.fillRect(QRect(QPoint(), logical), Qt::white);
    paint(painter, QRectF(QPointF(), QSizeF(logical)), logical);
    return painter.end();
}

} // namespace report
