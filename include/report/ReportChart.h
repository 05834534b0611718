#pragma once

#include "report/Style.h"

#include <QColor>
#include <QRectF>
#include <QSize>
#include <QStandardItemModel>
#include <QString>

#include <KChartChart>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QIODevice;
class QImage;
class QPainter;

namespace KChart {
class CartesianAxis;
class CartesianCoordinatePlane;
class Plotter;
} // namespace KChart

namespace sor {
class SORParser;
}

namespace report {

/// What a chart on screen shows besides its traces: the data range in view and the cursors.
struct View {
    bool hasRange = false; ///< false: the whole trace, as a freshly opened tab shows it
    QRectF range; ///< as the plane's visibleDataRange() reports it
    bool cursorsShown = false;
    double cursorA = 0; ///< km
    double cursorB = 0; ///< km
};

/// How many rows a trace keeps, from how many samples on it is decimated.
struct Decimation {
    uint32_t rows;
    uint32_t from;
};
/// As the single-trace and the comparison chart on screen decimate.
constexpr Decimation singleTraceRows { 3000, 6000 };
constexpr Decimation comparisonTraceRows { 500, 600 };

// A trace chart that KChart draws as vectors onto any paint device, in the bright theme whatever the screen's: the
// traces decimated as on screen, the event markers of a single trace, the cursors, the axis units and the logo, in
// the colours of the style. It is laid out at a logical size, the size of a chart on screen, and scaled into the
// target rectangle.
class ReportChart {
public:
    explicit ReportChart(const Style& style, Decimation decimation = singleTraceRows);
    ~ReportChart();
    ReportChart(const ReportChart&) = delete;
    ReportChart& operator=(const ReportChart&) = delete;

    /// A trace in its colour; the parser must outlive the chart.
    void addTrace(sor::SORParser& parser, const QColor& colour);
    /// Diamonds on the trace at the events, as many as on screen.
    void addEventMarkers(sor::SORParser& parser);
    void setView(const View& view);

    /// Draws the chart laid out at logical size into target (in the painter's coordinates). Line widths keep the
    /// physical width they have on screen when lineScale is 1 / (target width / logical width).
    void paint(QPainter& painter, const QRectF& target, const QSize& logical);
    /// The chart at a logical size on a white ground, at scale device pixels per logical pixel.
    QImage image(const QSize& logical, qreal scale);
    /// The chart at a logical size as SVG.
    bool writeSvg(QIODevice& out, const QSize& logical, const QString& title);

    /// Whether the x axis is labelled in km (false: in m); valid after a paint.
    bool xInKm() const { return inKm; }
    /// The distances shown, km; valid after a paint.
    std::pair<double, double> xRange() const;

private:
    struct Trace;

    void fillRange();
    /// Where the x range of a chart without a view ends: a little past the furthest end of fibre, else maxX.
    double fibreView(double minX, double maxX) const;
    void prepare(const QSize& logical);
    void dryRun(const QSize& logical);
    void fillTraces();

    Style style;
    Decimation decimation;
    KChart::Chart chart;
    KChart::CartesianCoordinatePlane* plane = nullptr;
    KChart::Plotter* minMaxDiagram = nullptr; ///< owned by the plane; pins the range, carries the axes
    KChart::CartesianAxis* xAxis = nullptr;
    KChart::CartesianAxis* yAxis = nullptr;
    KChart::Plotter* markerDiagram = nullptr; ///< owned by the plane
    QStandardItemModel minMaxModel;
    QStandardItemModel markerModel;
    QStandardItemModel cursorModel; ///< rows 0 (A) and 1 (B), column 0 the position, as the screen's painting reads it
    std::vector<std::unique_ptr<Trace>> traces;
    View view;
    qreal lineWidth = 1;
    bool inKm = true;
};

} // namespace report
