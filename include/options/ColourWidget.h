#pragma once

#include "options/ColourEntry.h"
#include "widgets/GWidget.h"

// The "Colour" page: one row per user colour of the application.
class ColourWidget : public GWidget {
    Q_OBJECT
public:
    explicit ColourWidget(QWidget* parent = nullptr);

    ColourEntry graphColourEntry;
    ColourEntry selectedMultiGraphPenColourEntry;
    ColourEntry cursorMarkerColourEntry;
    ColourEntry cursorLineColourEntry;
    ColourEntry eventMarkerColourEntry;
    ColourEntry eventLineColourEntry; ///< kept in step with the application, not shown: nothing draws this colour
};
