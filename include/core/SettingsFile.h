#pragma once

#include <QColor>
#include <QString>

class QByteArray;

// The eight user settings as ./setting.ini holds them, and the rules that read and write that file; the application
// object applies them. Needs no application object, so the rules can be tested and fuzzed on their own.
struct SettingsFile {
    enum Theme { Dark = 0, Bright = 1, Native = 2 }; ///< numbered as Application::Theme

    int theme = Bright; ///< a Theme, or whatever the application held
    bool cursorMode = true;
    QColor graphColour;
    QColor selectedMultiGraphPenColour;
    QColor cursorMarkerColour;
    QColor cursorLineColour;
    QColor eventMarkerColour;
    QColor eventLineColour;

    /// Reads the contents of a settings file; keys it does not contain keep their values. Returns whether it named
    /// one of the three themes.
    bool apply(const QByteArray& contents);
    /// The eight lines of the file, in order.
    QString text() const;
};
