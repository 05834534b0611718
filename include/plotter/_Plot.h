#pragma once

#include "plotter/ChartView.h"

class Plotter;

// The single-trace chart widget; the wheel zoom keeps an event marker under the pointer when it points at one.
class _Plot : public ChartView {
    Q_OBJECT
public:
    _Plot(Plotter* owner, QWidget* parent);

    Plotter* owner = nullptr;

protected:
    void replotVisible() override;
    void viewChangedByChart() override;
    bool hasCursors() const override;
    bool cursorsHidden() const override;
    QPoint cursorPixel(int which) const override;
    void moveCursor(int which, double x) override;
    QPointF wheelAnchor(const QPointF& pixel) const override;
    void paintUnder(QPainter& painter) override;
    void paintOver(QPainter& painter) override;
};
