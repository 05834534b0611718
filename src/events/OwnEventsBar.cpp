#include "events/OwnEventsBar.h"

#include <QGridLayout>

OwnEventsBar::OwnEventsBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ownEventsBar"));
    source.setObjectName(QStringLiteral("eventSource"));
    analyseButton.setObjectName(QStringLiteral("analyseButton"));
    addButton.setObjectName(QStringLiteral("addEventButton"));
    deleteButton.setObjectName(QStringLiteral("deleteEventButton"));
    status.setObjectName(QStringLiteral("analysisStatus"));

    source.addItem(tr("File's events"));
    source.addItem(tr("Own analysis"));
    source.setToolTip(tr("The events the list, the markers, the summary and the report show"));
    analyseButton.setText(tr("Analyse\u2026"));
    analyseButton.setToolTip(tr("Find the events in the trace with your thresholds; the file is not changed"));
    addButton.setText(tr("Add at A"));
    addButton.setToolTip(tr("Add an event at cursor A, measured where it stands"));
    deleteButton.setText(tr("Delete"));
    deleteButton.setToolTip(tr("Delete the selected events; double-click a position to move an event, or drag its "
                               "marker"));
    status.setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->addWidget(&source, 0, 0, 1, 2);
    grid->addWidget(&analyseButton, 0, 2);
    grid->addWidget(&addButton, 1, 0);
    grid->addWidget(&deleteButton, 1, 1);
    grid->addWidget(&status, 2, 0, 1, 3);
    update(false, false, false);
}

void OwnEventsBar::update(bool analysed, bool showingOwn, bool busy)
{
    // The second entry of the switch is there only with an analysis to show.
    source.setEnabled(analysed && !busy);
    analyseButton.setEnabled(!busy);
    addButton.setEnabled(showingOwn && !busy);
    deleteButton.setEnabled(showingOwn && !busy);
}
