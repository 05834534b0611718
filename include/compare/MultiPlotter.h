#pragma once

#include "compare/_MultiPlot.h"
#include "widgets/CItemModel.h"
#include "widgets/GWidget.h"

#include <QMap>
#include <QVector>

class MultiPlotOverview;
class PlotEntity;
class QPainter;

namespace KChart {
class CartesianAxis;
class Plotter;
} // namespace KChart

namespace sor {
class SORParser;
}

// The comparison chart: any number of traces on one chart, each re-plotted from its visible part after every view
// change, with the axes on an invisible diagram that spans all traces.
class MultiPlotter : public GWidget {
    Q_OBJECT
public:
    explicit MultiPlotter(QWidget* parent = nullptr);
    ~MultiPlotter() override;

    _MultiPlot chart;
    KChart::Plotter* minMaxDiagram = nullptr; ///< owned by the chart's plane; carries the axes
    CItemModel minMaxModel;
    QVector<PlotEntity*> entities; ///< in load order; the first is the reference for the arrow keys
    MultiPlotOverview* cursorOwner = nullptr; ///< owns the A/B cursors
    KChart::CartesianAxis* xAxis = nullptr;
    KChart::CartesianAxis* yAxis = nullptr;
    MultiPlotOverview* traceList = nullptr; ///< receives one row per plotted trace
    bool xInKm = true;

    /// Adds one trace; the parser is copied into it.
    void plot(sor::SORParser&& parser);
    void updateAxisTicks();
    QMap<qreal, QString> _generateTicks(double min, double max, int count, bool inMetres);
    void _createMinMaxDiagram();
    /// Plots the part of one trace (or of every trace) that the view shows.
    void _plotVisible(PlotEntity* entity);
    void _plotVisible(PlotEntity* entity, const QRectF& visible);
    void _plotAllVisible();
    /// After a view change: axis ticks, every trace's visible part, repaint.
    void _replotAll();
    void handleRubberBandZoomedEvent();

    virtual void paintMarkerLines(QPainter& painter);
    virtual void paintMarkerLabelsAndUnits(QPainter& painter);

    bool eventFilter_pointHover(QObject* watched, QEvent* event);
    bool eventFilter_pointClick(QObject* watched, QEvent* event);
    bool eventFilter_keyPress(QObject* watched, QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const QAbstractItemModel* shownCursors() const;
};
