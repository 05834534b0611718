#include "compare/MultiPlotEventDisplay.h"

#include "analysis/EventTable.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/PlotEntity.h"
#include "core/Application.h"
#include "events/OTDREventHandler.h"
#include "widgets/ReadoutNumber.h"

#include <QHeaderView>
#include <QScrollBar>

MultiPlotEventDisplay::MultiPlotEventDisplay(QWidget* parent)
    : GWidget(parent)
    , totalTree(this)
    , eventTree(this)
    , titleLabel(tr("  Select a list item to show events"), this)
    , totalLabel(tr("  Total Distance"), this)
    , eventsLabel(tr("  Events"), this)
{
    setObjectName(QStringLiteral("MultiPlotEventDisplay"));
    totalTree.setObjectName(QStringLiteral("totalTree"));
    eventTree.setObjectName(QStringLiteral("eventTree"));
    titleLabel.setObjectName(QStringLiteral("titleLabel"));
    // It names a file: shown as written, markup characters and all.
    titleLabel.setTextFormat(Qt::PlainText);
    layout->addWidget(&titleLabel, 0, 0);
    layout->addWidget(&totalLabel, 1, 0);
    layout->addWidget(&totalTree, 2, 0);
    layout->addWidget(&eventsLabel, 3, 0);
    layout->addWidget(&eventTree, 4, 0);

    totalTree.setColumnCount(4);
    for (int column = 0; column < 4; ++column)
        totalTree.setColumnWidth(column, 80);
    totalTree.setFixedHeight(0);
    eventTree.setColumnCount(6);
    eventTree.setHeaderLabels(
        { tr("#"), tr("Pos [m]"), tr("IL [dB]"), tr("Att. [dB/km]"), tr("Refl. [dB]"), tr("Cumul. IL [dB]") });
    eventTree.setHeaderHidden(false);
    const int widths[] = { 35, 70, 45, 74, 60, 70 };
    for (int column = 0; column < 6; ++column)
        eventTree.setColumnWidth(column, widths[column]);
    for (CTreeWidget* tree : { &totalTree, &eventTree }) {
        tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
        tree->setRootIsDecorated(false);
        // One line a row; keeps icon updates over a long event list linear.
        tree->setUniformRowHeights(true);
    }
}

void MultiPlotEventDisplay::listEvents(MultiPlotOverviewItemWidget* row)
{
    eventTree.clear();
    totalTree.clear();
    eventCodes.clear();
    titleLabel.setText(QString());
    if (!row || !row->entity)
        return;
    const PlotEntity& entity = *row->entity;
    const auto& block = entity.parser.events;
    titleLabel.setText(tr("Events for ") + entity.fileName);

    totalTree.setHeaderLabels({ tr("Length [km]"), tr("IL [dB]"), tr("ORL [dB]"), tr("Att. [dB/km]") });
    totalTree.addTopLevelItem(new QTreeWidgetItem(OTDREventHandler::totalsRow(entity.parser)));
    OTDREventHandler::fitToOneRow(totalTree);

    const std::vector<double> cumulative = analysis::cumulativeLosses(entity.parser);
    for (size_t row = 0; row < block.keyEvents.size(); ++row) {
        const auto& keyEvent = block.keyEvents[row];
        auto* item = new QTreeWidgetItem(
            QStringList { QString::number(keyEvent.EventNr), QString::number(keyEvent.Distance * 1000, 'f', 3),
                num(keyEvent.SpliceLoss), num(keyEvent.Slope), num(keyEvent.ReflectionLoss), num(cumulative[row]) });
        item->setToolTip(0, QString::fromStdString(keyEvent.EventType));
        eventCodes.push_back(keyEvent.EventCode);
        eventTree.addTopLevelItem(item);
    }
    setIcons();
}

void MultiPlotEventDisplay::setIcons()
{
    for (size_t i = 0; i < eventCodes.size() && int(i) < eventTree.topLevelItemCount(); ++i)
        eventTree.topLevelItem(int(i))->setData(0, Qt::DecorationRole, app()->getEventIcon(eventCodes[i]));
}

void MultiPlotEventDisplay::changeEvent(QEvent* event)
{
    GWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        setIcons();
}
