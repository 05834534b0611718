#include "core/PixmapTools.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace PixmapTools {

double luminance(const QColor& colour)
{
    return 0.299 * colour.redF() + 0.587 * colour.greenF() + 0.114 * colour.blueF();
}

QColor contrastColour(const QColor& background)
{
    return luminance(background) > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

QPixmap recoloured(QPixmap pixmap, const QColor& colour)
{
    if (pixmap.isNull())
        return pixmap;
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), colour);
    return pixmap;
}

QPixmap squarePixmap(const QPixmap& pixmap)
{
    if (pixmap.isNull())
        return pixmap;
    const int side = std::max(pixmap.width(), pixmap.height());
    QImage square(side, side, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawPixmap((side - pixmap.width()) / 2, (side - pixmap.height()) / 2, pixmap);
    painter.end();
    return QPixmap::fromImage(square);
}

} // namespace PixmapTools
