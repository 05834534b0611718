#include "options/ColourEntry.h"

#include "core/PixmapTools.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>

ColourEntry::ColourEntry(QWidget* parent)
    : QWidget(parent)
{
    layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 1);
    nameLabel.setObjectName(QStringLiteral("nameLabel"));
    colourLabel.setObjectName(QStringLiteral("colourLabel"));
    layout->addWidget(&nameLabel);
    layout->addWidget(&colourLabel);
    nameLabel.installEventFilter(this);
    colourLabel.installEventFilter(this);
    nameLabel.setAlignment(Qt::AlignCenter);
    colourLabel.setAlignment(Qt::AlignCenter);
    colourLabel.setAutoFillBackground(true);
}

void ColourEntry::setCurrentColour(QColor colour)
{
    if (!colour.isValid())
        return;
    currentColour = colour;
    colourLabel.setText(currentColour.name());
    updatePalette();
    emit CurrentColourChanged(currentColour);
}

void ColourEntry::resetCurrentColour() { setCurrentColour(initialColour); }

void ColourEntry::updatePalette()
{
    // Built from the application palette each time, so the swatch's other roles follow the theme.
    QPalette palette = QApplication::palette();
    if (currentColour.isValid()) {
        palette.setBrush(QPalette::All, QPalette::Window, QBrush(currentColour));
        palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(PixmapTools::contrastColour(currentColour)));
    }
    colourLabel.setPalette(palette);
}

bool ColourEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || (watched != &nameLabel && watched != &colourLabel))
        return QWidget::eventFilter(watched, event);
    const QColor chosen = getColour ? getColour(currentColour) : QColor();
    if (chosen.isValid())
        setCurrentColour(chosen);
    return true;
}

void ColourEntry::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The swatch's own palette would otherwise keep the roles of the previous theme. Qt sends
    // ApplicationPaletteChange to windows only: a row inside a page learns of a new theme by its PaletteChange.
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange) {
        updatePalette();
        event->accept();
    }
}
