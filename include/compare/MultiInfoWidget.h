#pragma once

#include "compare/MultiPlotEventDisplay.h"
#include "compare/MultiPlotOverview.h"
#include "widgets/CSplitter.h"

class MultiPlotter;
class TightGridLayout;

// Left side of a comparison tab: the trace list, the event table of the current trace and the cursor readings.
class MultiInfoWidget : public CSplitter {
    Q_OBJECT
public:
    explicit MultiInfoWidget(QWidget* parent = nullptr);

    MultiPlotOverview overview;
    QWidget eventsHolder;
    TightGridLayout* eventsLayout = nullptr;
    MultiPlotEventDisplay eventDisplay;
    MultiPlotter* chart = nullptr;
};
