#pragma once

#include "plotter/TraceModel.h"
#include "plotter/_MinimapPlot.h"
#include "widgets/GWidget.h"

#include <cstdint>

class MinimapSource;
class TraceDiagram;

namespace sor {
class SORParser;
}

// Overview of the whole trace (at most 400 points) with the main chart's visible part marked.
class MinimapPlotter : public GWidget {
    Q_OBJECT
public:
    MinimapPlotter(MinimapSource* mainPlotter, QWidget* parent = nullptr);
    ~MinimapPlotter() override;

    _MinimapPlot chart;
    TraceDiagram* diagram = nullptr; ///< owned by the chart's plane
    TraceModel model;
    sor::SORParser* parser = nullptr;
    MinimapSource* mainPlotter = nullptr;
    uint32_t maximumPoints = 400;

    void plot(sor::SORParser* parser);

protected:
    void changeEvent(QEvent* event) override;
};
