#pragma once

#include "widgets/CItemModel.h"
#include "widgets/GWidget.h"

#include <QLabel>
#include <QPoint>

class Plotter;

namespace KChart {
class Plotter;
}

namespace sor {
class SORParser;
}

// Cursors A and B of a single-trace tab: their positions, and what they measure in either read-out mode.
class CursorWidget : public GWidget {
    Q_OBJECT
public:
    explicit CursorWidget(QWidget* parent = nullptr);

    QLabel infoLabel; ///< the read-out, rich text
    Plotter* plotter = nullptr;
    sor::SORParser* parser = nullptr;
    KChart::Plotter* markerDiagram = nullptr; ///< owned by the main chart's plane
    CItemModel cursorModel; ///< row 0 cursor A, row 1 cursor B: the single store of their positions
    bool active = false; ///< placed or shown at least once
    bool hidden = true;

    void setUpCursors(sor::SORParser* parser, Plotter* plotter);
    /// Moves cursor 0 (A) or 1 (B) to distance x, if x lies in the visible part of the chart.
    void setCursor(unsigned short cursor, double x);
    /// The cursor's marker position in chart pixels.
    QPoint _getPos(unsigned cursor) const;

public Q_SLOTS:
    void showCursorInfo();
    void updateMarkerAttributes();

protected:
    void changeEvent(QEvent* event) override;

private:
    void writeRow(unsigned short cursor, double x, double y);
};
