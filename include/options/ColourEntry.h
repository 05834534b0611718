#pragma once

#include "core/Application.h"

#include <QColor>
#include <QColorDialog>
#include <QLabel>
#include <QWidget>

#include <functional>

class QHBoxLayout;

// One row of the colour page: a caption and a swatch; a press on either opens the colour dialog, and every
// colour the row takes goes straight to the application setter it was tied to.
class ColourEntry : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor currentColour MEMBER currentColour WRITE setCurrentColour RESET resetCurrentColour NOTIFY
            CurrentColourChanged)
public:
    explicit ColourEntry(QWidget* parent = nullptr);

    QHBoxLayout* layout = nullptr; ///< owned by the widget
    QLabel nameLabel;
    QLabel colourLabel; ///< the swatch
    QColor currentColour;
    QColor initialColour;

    /// Asks the user for a colour, starting from the given one; an invalid colour means cancelled.
    /// Tests put a function here that answers without a dialog.
    std::function<QColor(const QColor&)> getColour
        = [](const QColor& initial) { return QColorDialog::getColor(initial, nullptr, QString()); };

    /// Shows caption and colour and ties the row to one colour setter of the application.
    template <typename Setter> void init(const QString& caption, const QColor& colour, Setter setter)
    {
        nameLabel.setText(caption);
        initialColour = colour;
        if (colour.isValid())
            setCurrentColour(colour);
        connect(this, &ColourEntry::CurrentColourChanged, app(), setter);
    }

    void updatePalette();
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void setCurrentColour(QColor colour);
    void resetCurrentColour();

signals:
    void CurrentColourChanged(QColor colour);

protected:
    void changeEvent(QEvent* event) override;
};
