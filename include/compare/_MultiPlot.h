#pragma once

#include "plotter/ChartView.h"

class MultiPlotter;

// The comparison chart widget; inert until the first trace is plotted, and the wheel zooms about the pointer itself.
class _MultiPlot : public ChartView {
    Q_OBJECT
public:
    _MultiPlot(MultiPlotter* owner, QWidget* parent);

    bool hasData = false; ///< from the first plotted trace until the last is removed
    MultiPlotter* owner = nullptr;

protected:
    bool inert() const override { return !hasData; }
    void replotVisible() override;
    void viewChangedByChart() override;
    bool hasCursors() const override;
    bool cursorsHidden() const override;
    QPoint cursorPixel(int which) const override;
    void moveCursor(int which, double x) override;
    void paintUnder(QPainter& painter) override;
    void paintOver(QPainter& painter) override;
};
