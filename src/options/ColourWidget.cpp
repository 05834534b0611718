#include "options/ColourWidget.h"

#include "core/Application.h"

ColourWidget::ColourWidget(QWidget* parent)
    : GWidget(parent)
{
    setObjectName(QStringLiteral("colourWidget"));
    graphColourEntry.setObjectName(QStringLiteral("graphColourEntry"));
    selectedMultiGraphPenColourEntry.setObjectName(QStringLiteral("selectedMultiGraphPenColourEntry"));
    cursorMarkerColourEntry.setObjectName(QStringLiteral("cursorMarkerColourEntry"));
    cursorLineColourEntry.setObjectName(QStringLiteral("cursorLineColourEntry"));
    eventMarkerColourEntry.setObjectName(QStringLiteral("eventMarkerColourEntry"));
    eventLineColourEntry.setObjectName(QStringLiteral("eventLineColourEntry"));

    // The cursor markers are drawn in their own colour, so that row is offered too; the event line colour
    // is drawn nowhere, and a row for it would change nothing on screen.
    layout->addWidget(&graphColourEntry, 0, 0);
    layout->addWidget(&selectedMultiGraphPenColourEntry, 1, 0);
    layout->addWidget(&cursorMarkerColourEntry, 2, 0);
    layout->addWidget(&cursorLineColourEntry, 3, 0);
    layout->addWidget(&eventMarkerColourEntry, 4, 0);
    eventLineColourEntry.setParent(this);
    eventLineColourEntry.hide();

    Application* a = app();
    graphColourEntry.init(tr("Graph Colour"), a->graphColour, &Application::setGraphColour);
    selectedMultiGraphPenColourEntry.init(tr("Selected Multi Graph Pen Colour"), a->selectedMultiGraphPenColour,
        &Application::setSelectedMultiGraphPenColour);
    cursorMarkerColourEntry.init(
        tr("Cursor Marker Colour"), a->cursorMarkerColour, &Application::setCursorMarkerColour);
    cursorLineColourEntry.init(tr("Cursor Line Colour"), a->cursorLineColour, &Application::setCursorLineColour);
    eventMarkerColourEntry.init(tr("Event Marker Colour"), a->eventMarkerColour, &Application::setEventMarkerColour);
    eventLineColourEntry.init(tr("Event Line Colour"), a->eventLineColour, &Application::setEventLineColour);
}
