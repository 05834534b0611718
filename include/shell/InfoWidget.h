#pragma once

#include "cursors/CursorWidget.h"
#include "events/OTDREventHandler.h"
#include "viewer/DataViewer.h"
#include "widgets/CSplitter.h"

class MinimapPlotter;
class Plotter;

namespace sor {
class SORParser;
}

// Left panel of a single-trace tab: block tree, event list, cursor panel with the minimap.
class InfoWidget : public CSplitter {
    Q_OBJECT
public:
    explicit InfoWidget(QWidget* parent = nullptr);
    ~InfoWidget() override;

    bool advanced = false;
    DataViewer dataViewer;
    OTDREventHandler eventHandler;
    MinimapPlotter* minimap = nullptr; ///< a child of the cursor panel
    Plotter* mainPlotter = nullptr;
    sor::SORParser* sorParser = nullptr; ///< not owned
    CursorWidget cursorWidget;
};
