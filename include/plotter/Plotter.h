#pragma once

#include "plotter/MinimapSource.h"
#include "plotter/TraceModel.h"
#include "plotter/_Plot.h"
#include "sor/Exceptions.h"
#include "widgets/CItemModel.h"
#include "widgets/GWidget.h"

#include <QMap>

#include <cstdint>
#include <vector>

class CursorWidget;
class OTDREvent;
class QPainter;
class TraceDiagram;

namespace KChart {
class CartesianAxis;
class Plotter;
} // namespace KChart

namespace sor {
class SORParser;
}

// The single-trace chart: the visible part of one trace, min-max decimated, with computed axis ticks; the hub that
// cursors, event markers and the minimap reach the chart through.
class Plotter : public GWidget, public MinimapSource {
    Q_OBJECT
public:
    explicit Plotter(QWidget* parent = nullptr);
    ~Plotter() override;

    _Plot chart;
    TraceDiagram* traceDiagram = nullptr;
    KChart::Plotter* minMaxDiagram = nullptr;
    TraceModel traceModel;
    CItemModel minMaxModel;
    sor::SORParser* parser = nullptr; ///< not owned: the tab owns it
    std::vector<OTDREvent*> events; ///< event markers; the index is the marker's number
    CursorWidget* cursorWidget = nullptr;
    KChart::CartesianAxis* xAxis = nullptr;
    KChart::CartesianAxis* yAxis = nullptr;
    bool xInKm = true;
    uint32_t maxPoints = 3000; ///< bucket budget of the decimation

    void plot(sor::SORParser* parser);
    void plotIndexRange(unsigned first, unsigned last, const std::vector<double>& xs, const std::vector<double>& ys);
    void plotOnlyVisible();

    ChartView& overviewedChart() override;
    bool hasOverview() const override { return parser != nullptr; }
    void replotForMinimap() override { plotOnlyVisible(); }
    bool shouldDoCompression();
    void _createMinMaxDiagram();
    QMap<qreal, QString> _generateTicks(double min, double max, int count, bool inMetres);
    void updateAxisTicks();

    void paintMarkerLines(QPainter& painter);
    void paintMarkerLabelsAndUnits(QPainter& painter);

    bool eventFilter_pointHover(QObject* watched, QEvent* event);
    bool eventFilter_pointClick(QObject* watched, QEvent* event);
    bool eventFilter_keyPress(QObject* watched, QEvent* event);
    void handleEventHover(unsigned index);

public Q_SLOTS:
    void handleRubberBandZoomedEvent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyGraphPen();
    void repaintMinimap();
};

// The chart cannot draw without its file; reaching here is a programming error.
[[noreturn]] inline void throwNoSORParser()
{
    throw EXCEPTION::_Exc_Exception("No SORParser object set!", 237, __FILE__, "shouldDoCompression");
}
