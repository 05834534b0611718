#pragma once

#include <QColor>

// The user colours of a fresh installation: the application object starts from them and resets to them, and a
// report made without the user's settings is drawn in them.
namespace factory {

inline const QColor graphColour { 255, 0, 0 };
inline const QColor selectedMultiGraphPenColour { 50, 255, 50 };
inline const QColor cursorMarkerColour { 255, 150, 50 };
inline const QColor cursorLineColour { 50, 150, 50 };
inline const QColor eventMarkerColour { 150, 255, 50 };
inline const QColor eventLineColour { 150, 150, 50 };

} // namespace factory
