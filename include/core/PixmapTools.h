#pragma once

#include <QColor>
#include <QPixmap>

// Small pixmap operations shared by the icons, the tab close cross and the window icon.
namespace PixmapTools {

// Perceived brightness 0.299 r + 0.587 g + 0.114 b, components in 0..1.
double luminance(const QColor& colour);

// Black on a light background, white on a dark one.
QColor contrastColour(const QColor& background);

// The drawn pixels take the colour, the transparent ones stay transparent. A null pixmap stays null.
QPixmap recoloured(QPixmap pixmap, const QColor& colour);

// The pixmap centred on a transparent square as wide as its larger side. A null pixmap stays null.
QPixmap squarePixmap(const QPixmap& pixmap);

} // namespace PixmapTools
