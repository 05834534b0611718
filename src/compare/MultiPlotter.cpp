#include "compare/MultiPlotter.h"

#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "plotter/ChartStyle.h"
#include "plotter/Decimation.h"
#include "plotter/MarkerPainting.h"
#include "plotter/PlaneControl.h"
#include "plotter/PointRows.h"
#include "plotter/Ticks.h"
#include "plotter/TraceDiagram.h"
#include "sor/SORParser.h"

#include <QEvent>
#include <QListWidgetItem>
#include <QSignalBlocker>

#include <KChartCartesianAxis>
#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <cmath>
#include <limits>

MultiPlotter::MultiPlotter(QWidget* parent)
    : GWidget(parent)
    , chart(this, this)
{
    setObjectName(QStringLiteral("MultiPlotter"));
    chart.setAttribute(Qt::WA_MouseTracking);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&chart);
    chart.plane()->setRubberBandZoomingEnabled(false);
    installEventFilter(this);
    chart.installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);

    minMaxDiagram = new KChart::Plotter();
    chart.plane()->addDiagram(minMaxDiagram);
    _createMinMaxDiagram();
}

MultiPlotter::~MultiPlotter()
{
    // Entities take their rows out of the still existing list; their diagrams go while their models exist.
    const auto traces = entities;
    for (PlotEntity* entity : traces)
        entity->owner = nullptr;
    for (PlotEntity* entity : traces)
        delete entity;
    entities.clear();
    // The range and cursor diagrams go before minMaxModel and the list's cursor model.
    chart::releaseDiagrams(chart);
    if (cursorOwner)
        cursorOwner->cursorDiagram = nullptr;
    minMaxDiagram = nullptr; // with its axes
    xAxis = nullptr;
    yAxis = nullptr;
    minMaxModel.clear();
}

void MultiPlotter::plot(sor::SORParser&& parser)
{
    auto* entity = new PlotEntity(std::move(parser), this);
    entities.append(entity);

    entity->diagram = new TraceDiagram();
    entity->parser.getXY(); // computed once, kept by the trace's parser
    entity->setPen();
    entity->diagram->installEventFilter(this);
    chart.plane()->addDiagram(entity->diagram);
    chart.hasData = true;

    if (traceList) {
        auto* item = new QListWidgetItem();
        traceList->list.insertItem(traceList->list.count(), item);
        auto* row = new MultiPlotOverviewItemWidget(entity, item);
        traceList->list.setItemWidget(item, row);
        connect(row, &MultiPlotOverviewItemWidget::openFileRequested, traceList, &MultiPlotOverview::openFileRequested);
        entity->traceList = traceList;
        entity->itemWidget = row;
    }

    _createMinMaxDiagram();
    if (!xAxis && !yAxis) {
        xAxis = new KChart::CartesianAxis(minMaxDiagram);
        yAxis = new KChart::CartesianAxis(minMaxDiagram);
        xAxis->setPosition(KChart::CartesianAxis::Bottom);
        yAxis->setPosition(KChart::CartesianAxis::Left);
        minMaxDiagram->addAxis(xAxis);
        minMaxDiagram->addAxis(yAxis);
    }
    // Every trace, not only the new one: a longer range moves a zoomed view over the data of the others.
    _replotAll();
    chart.plane()->setRubberBandZoomingEnabled(true);

    if (cursorOwner && !cursorOwner->cursorsHidden)
        cursorOwner->showCursorInfo();
}

void MultiPlotter::_createMinMaxDiagram()
{
    // Only finite samples count: a trace without distances (index of refraction 0) spans nothing.
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (PlotEntity* entity : qAsConst(entities)) {
        const auto& xy = entity->parser.getXY();
        chart::extendByFiniteSamples(xy[0], xy[1], minX, maxX, minY, maxY);
    }
    const bool spanned = minX <= maxX;
    if (spanned) {
        chart::openUp(minX, maxX, 0.0005); // a metre
        chart::openUp(minY, maxY, 0.5); // a decibel
    }
    {
        const QSignalBlocker blockDiagram(minMaxDiagram);
        const QSignalBlocker blockModel(&minMaxModel);
        minMaxModel.clear();
        minMaxModel.setRowCount(spanned ? 2 : 0);
        minMaxModel.setColumnCount(chart::pointColumnCount);
        if (spanned) {
            chart::setPointRow(minMaxModel, 0, maxX, maxY, QString(), chart::MinMaxPoint, 0.0);
            chart::setPointRow(minMaxModel, 1, minX, minY, QString(), chart::MinMaxPoint, 0.0);
        }
        minMaxModel.setHeaderData(0, Qt::Horizontal, QStringLiteral("MINMAX"), Qt::EditRole);
    }
    minMaxDiagram->setModel(&minMaxModel);
    minMaxDiagram->setPen(QPen(Qt::NoPen));
    chart::setDiamondMarkers(minMaxDiagram, false, 20, QColor());
    if (spanned) {
        const auto ticks = _generateTicks(minX, maxX, 10, false);
        if (!ticks.isEmpty())
            chart.plane()->setHorizontalRange(qMakePair(ticks.firstKey(), ticks.lastKey()));
    }
}

void MultiPlotter::_plotVisible(PlotEntity* entity) { _plotVisible(entity, chart.plane()->visibleDataRange()); }

void MultiPlotter::_plotVisible(PlotEntity* entity, const QRectF& visible)
{
    const auto& xy = entity->parser.getXY();
    const auto [first, last] = chart::visibleIndexRange(xy[0], visible.x(), visible.x() + visible.width());
    entity->plotIndexRange(first, last, xy[0], xy[1]);
}

void MultiPlotter::_plotAllVisible()
{
    // Read once: each refilled model makes the plane measure its diagram again, and the range, pinned by the
    // range diagram, stays the same.
    const QRectF visible = chart.plane()->visibleDataRange();
    for (PlotEntity* entity : qAsConst(entities))
        _plotVisible(entity, visible);
}

void MultiPlotter::_replotAll()
{
    // Ticks first: new annotations make the chart measure every diagram, cheaply while the models are still the
    // ones it measured for the last paint. The ticks depend on the visible range only, which the range diagram pins.
    updateAxisTicks();
    _plotAllVisible();
    chart.update();
}

QMap<qreal, QString> MultiPlotter::_generateTicks(double min, double max, int count, bool inMetres)
{
    return chart::generateTicks(min, max, count, inMetres);
}

void MultiPlotter::updateAxisTicks()
{
    if (!xAxis || !yAxis)
        return;
    xInKm = chart::styleAxes(chart.plane(), xAxis, yAxis, palette().color(QPalette::Text));
}

void MultiPlotter::handleRubberBandZoomedEvent() { chart.enforceViewLimitsAndUpdate(); }

const QAbstractItemModel* MultiPlotter::shownCursors() const
{
    return cursorOwner && !cursorOwner->cursorsHidden ? &cursorOwner->cursorModel : nullptr;
}

void MultiPlotter::paintMarkerLines(QPainter& painter)
{
    chart::paintMarkerLines(
        painter, chart.plane(), chart.width(), size(), shownCursors(), chart::applicationMarkerStyle());
}

void MultiPlotter::paintMarkerLabelsAndUnits(QPainter& painter)
{
    chart::paintMarkerLabelsAndUnits(painter, chart.plane(), chart.width(), shownCursors(), xInKm,
        palette().color(QPalette::Text), chart::applicationMarkerStyle());
}

void MultiPlotter::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    _replotAll();
}
