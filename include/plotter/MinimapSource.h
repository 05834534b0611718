#pragma once

class ChartView;
class MinimapPlotter;

// What a minimap needs of the chart it gives the overview of: the chart and its view, a re-plot after the minimap
// moved that view, and a place to announce itself so that the chart's paints keep the minimap's rectangle in step.
class MinimapSource {
public:
    virtual ~MinimapSource() = default;

    virtual ChartView& overviewedChart() = 0;
    /// Whether there is a trace to move the view over.
    virtual bool hasOverview() const = 0;
    /// Re-plots the visible part after the minimap moved the view.
    virtual void replotForMinimap() = 0;

    MinimapPlotter* minimap = nullptr;
};
