#include "shell/Application.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

#include <optional>

namespace {

// The rest of the line after the first occurrence of key; a second occurrence of the key on that line ends it
// too. Line ends written on Windows count as line ends.
std::optional<QString> valueOf(const QString& text, const QString& key)
{
    const int at = text.indexOf(key);
    if (at < 0)
        return std::nullopt;
    const int start = at + key.size();
    const int next = text.indexOf(key, start);
    QString value = text.mid(start, next < 0 ? -1 : next - start);
    const int lineEnd = value.indexOf(QLatin1Char('\n'));
    if (lineEnd >= 0)
        value.truncate(lineEnd);
    if (value.endsWith(QLatin1Char('\r')))
        value.chop(1);
    return value;
}

const char* themeName(int theme)
{
    switch (theme) {
    case Application::Dark:
        return "Dark";
    case Application::Native:
        return "Native";
    default:
        return "Bright";
    }
}

QString colourName(const QColor& colour) { return colour.isValid() ? colour.name() : QStringLiteral("#000000"); }

} // namespace

void Application::loadSettings()
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug() << "FILE ERROR: " << file.errorString();
        return;
    }
    _applySettings(file.readAll());
}

void Application::_applySettings(const QByteArray& contents)
{
    // QByteArray data is zero-terminated, so this stops at the first zero byte.
    const QString text = QString::fromLatin1(contents.constData());

    if (const auto value = valueOf(text, QStringLiteral("Theme:"))) {
        const QString word = value->trimmed().toLower();
        for (const int candidate : { Bright, Dark, Native }) {
            if (word == QString::fromLatin1(themeName(candidate)).toLower()) {
                theme = candidate;
                _setTheme();
                break;
            }
        }
    }
    if (const auto value = valueOf(text, QStringLiteral("CursorMode:")))
        cursorMode = value->toInt(nullptr, 10) != 0;

    const std::pair<const char*, QColor*> colours[] = {
        { "GraphColour:", &graphColour },
        { "SelectedMultiGraphPenColour:", &selectedMultiGraphPenColour },
        { "CursorMarkerColour:", &cursorMarkerColour },
        { "CursorLineColour:", &cursorLineColour },
        { "EventMarkerColour:", &eventMarkerColour },
        { "EventLineColour:", &eventLineColour },
    };
    for (const auto& [key, colour] : colours) {
        if (const auto value = valueOf(text, QLatin1String(key)))
            colour->setNamedColor(*value);
    }
}

QString Application::_settingsText() const
{
    QString text;
    QTextStream out(&text);
    out << "Theme:" << themeName(theme) << '\n';
    out << "CursorMode:" << (cursorMode ? 1 : 0) << '\n';
    out << "GraphColour:" << colourName(graphColour) << '\n';
    out << "SelectedMultiGraphPenColour:" << colourName(selectedMultiGraphPenColour) << '\n';
    out << "CursorMarkerColour:" << colourName(cursorMarkerColour) << '\n';
    out << "CursorLineColour:" << colourName(cursorLineColour) << '\n';
    out << "EventMarkerColour:" << colourName(eventMarkerColour) << '\n';
    out << "EventLineColour:" << colourName(eventLineColour) << '\n';
    return text;
}

void Application::saveSettings()
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
        qDebug() << "FILE ERROR: " << file.errorString();
        return;
    }
    QTextStream out(&file);
    out << _settingsText();
}
