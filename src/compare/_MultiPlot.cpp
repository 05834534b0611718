#include "compare/_MultiPlot.h"

#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotter.h"

_MultiPlot::_MultiPlot(MultiPlotter* owner_, QWidget* parent)
    : ChartView(parent)
    , owner(owner_)
{
    setObjectName(QStringLiteral("_MultiPlot"));
    roundPanSteps = true;
}

void _MultiPlot::replotVisible() { owner->_replotAll(); }

void _MultiPlot::viewChangedByChart() { owner->handleRubberBandZoomedEvent(); }

bool _MultiPlot::hasCursors() const { return owner->cursorOwner != nullptr; }

bool _MultiPlot::cursorsHidden() const { return !owner->cursorOwner || owner->cursorOwner->cursorsHidden; }

QPoint _MultiPlot::cursorPixel(int which) const { return owner->cursorOwner->_getPos(which); }

void _MultiPlot::moveCursor(int which, double x) { owner->cursorOwner->setCursor(which, x); }

void _MultiPlot::paintUnder(QPainter& painter) { owner->paintMarkerLines(painter); }

void _MultiPlot::paintOver(QPainter& painter) { owner->paintMarkerLabelsAndUnits(painter); }
