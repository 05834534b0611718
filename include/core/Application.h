#pragma once

#include <QApplication>
#include <QColor>
#include <QHash>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include <string>

// The program's single application object: owns the user settings, the colour theme and the six user colours.
class Application : public QApplication {
    Q_OBJECT
    Q_PROPERTY(
        QColor graphColour MEMBER graphColour WRITE setGraphColour RESET resetGraphColour NOTIFY GraphColourChanged)
    Q_PROPERTY(
        QColor selectedMultiGraphPenColour MEMBER selectedMultiGraphPenColour WRITE setSelectedMultiGraphPenColour RESET
            resetSelectedMultiGraphPenColour NOTIFY SelectedMultiGraphPenColourChanged)
    Q_PROPERTY(QColor cursorMarkerColour MEMBER cursorMarkerColour WRITE setCursorMarkerColour RESET
            resetCursorMarkerColour NOTIFY CursorMarkerColourChanged)
    Q_PROPERTY(QColor cursorLineColour MEMBER cursorLineColour WRITE setCursorLineColour RESET resetCursorLineColour
            NOTIFY CursorLineColourChanged)
    Q_PROPERTY(QColor eventMarkerColour MEMBER eventMarkerColour WRITE setEventMarkerColour RESET resetEventMarkerColour
            NOTIFY EventMarkerColourChanged)
    Q_PROPERTY(QColor eventLineColour MEMBER eventLineColour WRITE setEventLineColour RESET resetEventLineColour NOTIFY
            EventLineColourChanged)

public:
    enum Theme { Dark = 0, Bright = 1, Native = 2 };
    Q_ENUM(Theme)

    Application(int& argc, char** argv);

    int theme = Bright; ///< a Theme; an int so that values read from elsewhere stay representable
    bool cursorMode = true; ///< true: A/B cursors, false: smart cursor
    QString sorDirectory = QStringLiteral("../temp_sor_files/"); ///< start directory of the file dialogs
    QString settingsPath = QStringLiteral("./setting.ini");
    QPixmap logoBig; ///< start tab
    QPixmap logoSmall; ///< drawn over the charts

    QColor defaultGraphColour;
    QColor defaultSelectedMultiGraphPenColour;
    QColor defaultCursorMarkerColour;
    QColor defaultCursorLineColour;
    QColor defaultEventMarkerColour;
    QColor defaultEventLineColour;

    QColor graphColour;
    QColor selectedMultiGraphPenColour;
    QColor cursorMarkerColour;
    QColor cursorLineColour;
    QColor eventMarkerColour;
    QColor eventLineColour; ///< stored and saved only

    // Applies the contents of a settings file; keys it does not contain keep their values.
    void _applySettings(const QByteArray& contents);
    // The eight lines saveSettings() writes.
    QString _settingsText() const;

    QPalette getPalette(bool dark) const;
    QIcon getEventIcon(std::string eventType) const;

private:
    /// Recoloured event icons by source pixmap, rotation and colour: a long event list asks for the same few.
    mutable QHash<QString, QIcon> eventIcons;

public slots:
    void loadSettings();
    void saveSettings();
    void _setTheme();
    int toggleTheme();

    void setGraphColour(QColor colour);
    void setSelectedMultiGraphPenColour(QColor colour);
    void setCursorMarkerColour(QColor colour);
    void setCursorLineColour(QColor colour);
    void setEventMarkerColour(QColor colour);
    void setEventLineColour(QColor colour);

    void resetGraphColour();
    void resetSelectedMultiGraphPenColour();
    void resetCursorMarkerColour();
    void resetCursorLineColour();
    void resetEventMarkerColour();
    void resetEventLineColour();

signals:
    void CursorModeChanged();
    void GraphColourChanged(QColor colour);
    void SelectedMultiGraphPenColourChanged(QColor colour);
    void CursorMarkerColourChanged(QColor colour);
    void CursorLineColourChanged(QColor colour);
    void EventMarkerColourChanged(QColor colour);
    void EventLineColourChanged(QColor colour);
};

// The application object, for widgets that read the settings.
inline Application* app() { return static_cast<Application*>(qApp); }
