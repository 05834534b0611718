#pragma once

#include "widgets/CTreeWidget.h"
#include "widgets/GWidget.h"

#include <QLabel>

#include <string>
#include <vector>

class MultiPlotOverviewItemWidget;

// The event table of a comparison: end-to-end figures and key events of the trace list's current row.
class MultiPlotEventDisplay : public GWidget {
    Q_OBJECT
public:
    explicit MultiPlotEventDisplay(QWidget* parent = nullptr);

    CTreeWidget totalTree;
    CTreeWidget eventTree;
    QLabel titleLabel;
    QLabel totalLabel;
    QLabel eventsLabel;
    std::vector<std::string> eventCodes; ///< EventCode of each eventTree row, for the icons

    /// Shows the trace of a row; a null row, or one whose trace is being removed, empties the table.
    void listEvents(MultiPlotOverviewItemWidget* row);
    void setIcons();

protected:
    void changeEvent(QEvent* event) override;
};
