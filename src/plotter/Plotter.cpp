#include "plotter/Plotter.h"

#include "core/Application.h"
#include "plotter/ChartInteraction.h"
#include "plotter/ChartStyle.h"
#include "plotter/Decimation.h"
#include "plotter/MinimapPlotter.h"
#include "plotter/PlaneControl.h"
#include "plotter/PointRows.h"
#include "plotter/Ticks.h"
#include "plotter/TraceDiagram.h"
#include "sor/SORParser.h"

#include <QSignalBlocker>

#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <algorithm>
#include <cmath>

Plotter::Plotter(QWidget* parent)
    : GWidget(parent)
    , chart(this, this)
{
    setObjectName(QStringLiteral("Plotter"));
    chart.setAttribute(Qt::WA_MouseTracking);
    layout->addWidget(&chart);
    chart.plane()->setRubberBandZoomingEnabled(true);
    installEventFilter(this);
    chart.installEventFilter(this);
    setFocusPolicy(Qt::WheelFocus);
}

Plotter::~Plotter() { chart::releaseDiagrams(chart); }

bool Plotter::shouldDoCompression()
{
    if (!parser)
        throwNoSORParser();
    return parser->data.NumberOfPoints >= 2 * maxPoints;
}

void Plotter::plot(sor::SORParser* p)
{
    parser = p;
    auto* plane = chart.plane();
    traceDiagram = new TraceDiagram();
    traceDiagram->installEventFilter(this);
    plane->replaceDiagram(traceDiagram);

    const auto& xy = parser->getXY();
    const auto& xs = xy[0];
    const auto& ys = xy[1];
    if (!xs.empty()) {
        const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
        const auto ticks = _generateTicks(*lo, *hi, 10, false);
        // A single tick would pin a range without width.
        if (ticks.size() > 1)
            plane->setHorizontalRange(qMakePair(ticks.firstKey(), ticks.lastKey()));
    }

    xAxis = new KChart::CartesianAxis(traceDiagram);
    xAxis->setPosition(KChart::CartesianAxis::Bottom);
    yAxis = new KChart::CartesianAxis(traceDiagram);
    yAxis->setPosition(KChart::CartesianAxis::Left);
    traceDiagram->addAxis(xAxis);
    traceDiagram->addAxis(yAxis);

    _createMinMaxDiagram();
    plotIndexRange(0, static_cast<unsigned>(xs.size() - 1), xs, ys);
}

void Plotter::_createMinMaxDiagram()
{
    minMaxDiagram = new KChart::Plotter();
    chart.plane()->addDiagram(minMaxDiagram);

    const auto& xy = parser->getXY();
    {
        const QSignalBlocker blockModel(&minMaxModel);
        const QSignalBlocker blockDiagram(minMaxDiagram);
        minMaxModel.clear();
        const auto& xs = xy[0];
        const auto& ys = xy[1];
        const bool finite = std::all_of(xs.begin(), xs.end(), [](double v) { return std::isfinite(v); });
        // Without samples, or with distances that are not numbers, there is no range to pin.
        if (!xs.empty() && finite) {
            const auto [xLo, xHi] = std::minmax_element(xs.begin(), xs.end());
            const auto [yLo, yHi] = std::minmax_element(ys.begin(), ys.end());
            double minX = *xLo, maxX = *xHi, minY = *yLo, maxY = *yHi;
            chart::openUp(minX, maxX, 0.0005); // a metre
            chart::openUp(minY, maxY, 0.5); // a decibel
            minMaxModel.setRowCount(2);
            minMaxModel.setColumnCount(chart::pointColumnCount);
            chart::setPointRow(minMaxModel, 0, maxX, maxY, QString(), chart::MinMaxPoint, 0.0);
            chart::setPointRow(minMaxModel, 1, minX, minY, QString(), chart::MinMaxPoint, 0.0);
        } else {
            minMaxModel.setColumnCount(chart::pointColumnCount);
        }
        minMaxModel.setHeaderData(0, Qt::Horizontal, QStringLiteral("MINMAX"), Qt::EditRole);
    }
    minMaxDiagram->setModel(&minMaxModel);
    minMaxDiagram->setPen(QPen(Qt::NoPen));
    chart::setDiamondMarkers(minMaxDiagram, false, 20, QColor());
}

void Plotter::plotIndexRange(
    unsigned first, unsigned last, const std::vector<double>& xs, const std::vector<double>& ys)
{
    const bool compress = shouldDoCompression();
    const uint64_t n = uint64_t(last) - first + 1;
    const uint64_t rows = compress ? std::min<uint64_t>(maxPoints, n) : ys.size();
    const size_t size = std::min(xs.size(), ys.size());
    {
        const QSignalBlocker blockDiagram(traceDiagram);
        const QSignalBlocker blockModel(&traceModel);
        traceModel.reset(static_cast<int>(rows));

        chart::forEachMinMaxRow(ys, size, first, last, rows, compress, [&](uint64_t k, uint64_t index, double y) {
            const double x = xs[index];
            // Values that are not numbers would break the chart's range arithmetic: the row stays blank.
            if (!std::isfinite(x) || !std::isfinite(y))
                return;
            traceModel.setRow(
                static_cast<int>(k), x, y, ys[index], static_cast<uint32_t>(index), static_cast<double>(index));
        });
    }
    traceDiagram->setModel(&traceModel);
    traceDiagram->rowsRefilled();
    applyGraphPen();
    updateAxisTicks();
    repaintMinimap();
}

ChartView& Plotter::overviewedChart() { return chart; }

void Plotter::plotOnlyVisible()
{
    if (!parser)
        throwNoSORParser();
    if (!shouldDoCompression()) {
        updateAxisTicks();
        applyGraphPen();
        repaintMinimap();
        return;
    }
    const auto& xy = parser->getXY();
    const QRectF r = chart.plane()->visibleDataRange();
    const auto [first, last] = chart::visibleIndexRange(xy[0], r.x(), r.x() + r.width());
    plotIndexRange(first, last, xy[0], xy[1]);
}

QMap<qreal, QString> Plotter::_generateTicks(double min, double max, int count, bool inMetres)
{
    return chart::generateTicks(min, max, count, inMetres);
}

void Plotter::updateAxisTicks()
{
    if (!xAxis || !yAxis)
        return;
    xInKm = chart::styleAxes(chart.plane(), xAxis, yAxis, palette().color(QPalette::Text));
}

void Plotter::handleRubberBandZoomedEvent() { chart.enforceViewLimitsAndUpdate(); }

bool Plotter::eventFilter(QObject* watched, QEvent* event) { return chart::handleChartEvent(*this, watched, event); }

void Plotter::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && traceDiagram)
        plotOnlyVisible();
}

void Plotter::applyGraphPen()
{
    if (traceDiagram)
        traceDiagram->setPenIfChanged(QPen(app()->graphColour));
}

void Plotter::repaintMinimap()
{
    if (minimap)
        minimap->chart.followMainView();
}
