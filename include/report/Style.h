#pragma once

#include "core/FactoryColours.h"

#include <QColor>
#include <QPixmap>

namespace report {

/// What a report takes of the user's settings; the caller fills it. Made without them, a report is drawn in the
/// factory colours, without the logo, and reads the cursors as A and B.
struct Style {
    QColor graphColour = factory::graphColour; ///< a single trace
    QColor eventMarkerColour = factory::eventMarkerColour;
    QColor cursorLineColour = factory::cursorLineColour;
    QPixmap logo; ///< drawn at the top right of a chart; none when null
    bool cursorMode = true; ///< true: A/B cursors, false: the segment between them
};

} // namespace report
