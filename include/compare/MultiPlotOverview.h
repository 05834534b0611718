#pragma once

#include "widgets/CItemModel.h"
#include "widgets/CListWidget.h"
#include "widgets/GWidget.h"

#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QPushButton>

class MultiPlotEventDisplay;
class MultiPlotter;
class QCheckBox;
class QListWidgetItem;
class TightGridLayout;

namespace KChart {
class Plotter;
}

// The trace list of a comparison: one row per trace, the selection that highlights traces, and the A/B cursors
// with every trace's reading and the means over all traces.
class MultiPlotOverview : public GWidget {
    Q_OBJECT
public:
    explicit MultiPlotOverview(MultiPlotEventDisplay* display, QWidget* parent = nullptr);
    ~MultiPlotOverview() override;

    QPushButton loadButton;
    QLabel plotsLabel;
    CListWidget list;
    QLabel* cursorInfoLabel = nullptr; ///< mean readings, rich text; in cursorInfoWidget
    QCheckBox* individualBox = nullptr; ///< in cursorInfoWidget
    TightGridLayout* cursorInfoLayout = nullptr;
    QWidget* cursorInfoWidget = nullptr; ///< owned; the tab shows it below the event table
    MultiPlotter* chart = nullptr;
    MultiPlotEventDisplay* eventDisplay = nullptr;
    KChart::Plotter* cursorDiagram = nullptr; ///< owned by the chart's plane
    CItemModel cursorModel; ///< row 0 cursor A, row 1 cursor B; x only
    bool cursorsPlaced = false;
    bool cursorsHidden = true;

    void setUpCursors(MultiPlotter* chart);
    /// Moves cursor 0 (A) or 1 (B) to distance x, if x lies in the visible part of the chart.
    void setCursor(unsigned short cursor, double x);
    /// The cursor's position in chart pixels.
    QPoint _getPos(unsigned int cursor) const;

public Q_SLOTS:
    void showCursorInfo();
    void highlightPlot();
    void changeItemColourSeed(QListWidgetItem* item);

    /// Height of the readings panel for its width.
    void fitCursorPanel();

Q_SIGNALS:
    /// A row's "View": the file in a single-trace tab of its own.
    void openFileRequested(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void writeCursorRow(unsigned short cursor, double x);
    QPointer<QWidget> ownedPanel; ///< cursorInfoWidget, until it is gone
};
