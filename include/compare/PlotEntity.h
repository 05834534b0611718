#pragma once

#include "plotter/TraceModel.h"
#include "sor/SORParser.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class MultiPlotOverview;
class MultiPlotOverviewItemWidget;
class MultiPlotter;
class TraceDiagram;

// One trace of a comparison: its own copy of the file, the model and diagram that draw it, its colour and state.
// Deleting it removes the trace from the chart and its row from the trace list.
class PlotEntity : public QObject {
    Q_OBJECT
public:
    PlotEntity(sor::SORParser&& parser, MultiPlotter* owner);
    ~PlotEntity() override;
    PlotEntity(const PlotEntity&) = delete;
    PlotEntity& operator=(const PlotEntity&) = delete;

    sor::SORParser parser;
    QString fileName;
    TraceModel model; ///< the points currently plotted
    TraceDiagram* diagram = nullptr; ///< owned; lives on the owner's plane while the trace is shown
    MultiPlotter* owner = nullptr; ///< null once the chart is going away
    QPointer<MultiPlotOverview> traceList;
    QPointer<MultiPlotOverviewItemWidget> itemWidget;
    bool selected = false;
    bool visible = true;
    uint32_t colourSeed;
    QColor fixedColour; ///< invalid: the colour generated from colourSeed
    uint32_t maxPoints = 500; ///< rows of a compressed range

    /// Fills the model with samples first..last (inclusive), reduced to pairs of bucket extremes for larger files.
    void plotIndexRange(unsigned first, unsigned last, const std::vector<double>& x, const std::vector<double>& y);
    /// Hidden: no pen; selected: the selection colour; otherwise colour().
    void setPen();
    /// The trace's own colour: fixedColour, else the one generated from colourSeed.
    QColor colour() const { return fixedColour.isValid() ? fixedColour : generatedColour(colourSeed); }

    /// The trace colour of a seed: one of red and blue in 205..254, green in 0..129.
    static QColor generatedColour(uint32_t seed);
    /// The last "/"-separated piece of a path; a path without "/" whole.
    static QString fileNameOf(const std::wstring& path);
};
