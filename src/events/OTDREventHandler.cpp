#include "events/OTDREventHandler.h"
#include "widgets/ReadoutNumber.h"

#include "analysis/EventTable.h"
#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"
#include "core/Application.h"
#include "events/OTDREvent.h"
#include "plotter/Plotter.h"
#include "sor/SORParser.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <cmath>

OTDREventHandler::OTDREventHandler(QWidget* parent)
    : GWidget(parent)
    , summaryTable(this)
    , eventTable(this)
    , totalLabel(tr("  Total Distance"), this)
    , eventsLabel(tr("  Events"), this)
{
    setObjectName(QStringLiteral("OTDREventHandler"));
    summaryTable.setObjectName(QStringLiteral("summaryTable"));
    eventTable.setObjectName(QStringLiteral("eventTable"));
    layout->addWidget(&totalLabel);
    layout->addWidget(&summaryTable);
    layout->addWidget(&eventsLabel);
    layout->addWidget(&eventTable);
}

OTDREventHandler::~OTDREventHandler()
{
    // The events go with their panel; their rows belong to the table and their markers to the chart.
    qDeleteAll(events);
    events.clear();
    // The table's teardown sends events to its viewport; this filter would reach into the half-destroyed table.
    eventTable.viewport()->removeEventFilter(this);
}

void OTDREventHandler::loadEvents(sor::SORParser* p, Plotter* chartOwner, bool adv)
{
    advanced = adv;
    parser = p;
    plotter = chartOwner;

    summaryTable.setColumnCount(4);
    summaryTable.setHeaderLabels({ tr("Length [km]"), tr("IL [dB]"), tr("ORL [dB]"), tr("Att. [dB/km]") });
    summaryTable.addTopLevelItem(new QTreeWidgetItem(totalsRow(*parser)));
    summaryTable.setSelectionMode(QAbstractItemView::ExtendedSelection);
    summaryTable.setRootIsDecorated(false);
    for (int column = 0; column < 4; ++column)
        summaryTable.setColumnWidth(column, 80);
    fitToOneRow(summaryTable);

    eventTable.setHeaderLabels({ tr("#"), tr("Pos [m]"), tr("IL [dB]"), tr("Att. [dB/km]"), tr("Refl. [dB]"),
        tr("Cumul. IL [dB]"), tr("Time of Travel"), tr("End of prev event"), tr("Begin of current event"),
        tr("End of current event"), tr("Begin of next event"), tr("Peak point current"), tr("Comment"), tr("Type") });
    eventTable.setColumnCount(notesColumn() + (ownEvents ? 1 : 0));
    if (ownEvents)
        eventTable.headerItem()->setText(notesColumn(), tr("By hand"));
    eventTable.setHeaderHidden(false);
    eventTable.setSelectionMode(QAbstractItemView::ExtendedSelection);
    eventTable.setRootIsDecorated(false);
    // One line a row; without this the view sums the heights of all rows above each changed row, which makes a
    // palette change over a long list quadratic.
    eventTable.setUniformRowHeights(true);
    const int widths[] = { 35, 70, 45, 74, 60, 70 };
    for (int column = 0; column < 6; ++column)
        eventTable.setColumnWidth(column, widths[column]);
    eventTable.viewport()->setMouseTracking(true);
    eventTable.viewport()->installEventFilter(this);

    {
        // Each new diagram would lay the whole chart out again: once, after the last one, is enough.
        auto* plane = plotter->chart.plane();
        const QSignalBlocker quiet(plane);
        const std::vector<double> sums = analysis::cumulativeLosses(*parser);
        for (auto& keyEvent : parser->events.keyEvents) {
            auto* event = new OTDREvent();
            event->withMarker = events.size() < maxMarkers;
            event->cumulativeSums = &sums;
            event->unmeasuredDash = ownEvents;
            auto* row = event->loadEvent(parser, plotter, &keyEvent, advanced);
            if (ownEvents && events.size() < notes.size())
                row->setText(notesColumn(), notes[events.size()]);
            eventTable.addTopLevelItem(row);
            event->cumulativeSums = nullptr;
            events.append(event);
        }
    }
    const auto count = parser->events.keyEvents.size();
    eventsLabel.setText(ownEvents ? tr("  Events (own analysis)") : tr("  Events"));
    if (count > static_cast<size_t>(maxMarkers))
        eventsLabel.setText(tr("  Events (the first %1 of %2 marked on the trace)").arg(maxMarkers).arg(count));
    plotter->chart.plane()->relayout();
    plotter->chart.plane()->layoutPlanes();
    emit plotter->chart.plane()->boundariesChanged();
    plotter->chart.update();
    eventTable.expandAll();
}

void OTDREventHandler::clearEvents()
{
    // The markers leave the chart before their events go.
    if (plotter) {
        auto* plane = plotter->chart.plane();
        const QSignalBlocker quiet(plane);
        for (auto* e : events) {
            if (e->markerDiagram) {
                plane->takeDiagram(e->markerDiagram);
                delete e->markerDiagram;
                e->markerDiagram = nullptr;
            }
        }
        plotter->events.clear();
    }
    qDeleteAll(events);
    events.clear();
    eventTable.viewport()->removeEventFilter(this);
    eventTable.clear();
    summaryTable.clear();
    if (plotter) {
        plotter->chart.plane()->relayout();
        plotter->chart.update();
    }
}

QStringList OTDREventHandler::totalsRow(const sor::SORParser& parser)
{
    // What the cable table and the report show, for the cables they are judged with.
    const analysis::Thresholds cables = analysis::loadThresholds(analysis::thresholdsPath);
    QStringList cells;
    for (const std::string& cell : analysis::fibreTotals(analysis::summarize(parser, std::string(), cables)))
        cells << QString::fromStdString(cell);
    return cells;
}

void OTDREventHandler::fitToOneRow(QTreeWidget& table)
{
    // Before the first layout the row has no rectangle yet; its size hint stands in.
    int rowHeight = table.topLevelItemCount() > 0 ? table.visualItemRect(table.topLevelItem(0)).height() : 0;
    if (rowHeight <= 0)
        rowHeight = table.sizeHintForRow(0);
    // The frame and a horizontal scroll bar too: in a narrow panel the bar would otherwise cover the one row.
    table.setFixedHeight(table.header()->sizeHint().height() + rowHeight + 2 * table.frameWidth()
        + table.horizontalScrollBar()->sizeHint().height());
}

bool OTDREventHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == eventTable.viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QModelIndex index = eventTable.indexAt(mouse->pos());
        if (index.isValid()) {
            const int row = index.parent().isValid() ? index.parent().row() : index.row();
            if (row >= 0 && index.column() >= 0 && row < events.size())
                events[row]->markerSizeAnimation.start(QAbstractAnimation::KeepWhenStopped);
        }
    }
    return false;
}

void OTDREventHandler::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    for (auto* e : events) {
        if (e->item && e->keyEvent)
            e->item->setData(0, Qt::DecorationRole, app()->getEventIcon(e->keyEvent->EventCode));
        e->resetBrightness();
        e->resetMarkerSize();
    }
}
