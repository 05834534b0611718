#include "core/SettingsFile.h"

#include <QByteArray>
#include <QTextStream>

#include <optional>
#include <utility>

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
    case SettingsFile::Dark:
        return "Dark";
    case SettingsFile::Native:
        return "Native";
    default:
        return "Bright";
    }
}

QString colourName(const QColor& colour) { return colour.isValid() ? colour.name() : QStringLiteral("#000000"); }

} // namespace

bool SettingsFile::apply(const QByteArray& contents)
{
    // The text ends at the first zero byte; counted within the array, since one made with fromRawData() need not
    // be zero-terminated.
    const QString text
        = QString::fromLatin1(contents.constData(), static_cast<int>(qstrnlen(contents.constData(), contents.size())));

    bool themeNamed = false;
    if (const auto value = valueOf(text, QStringLiteral("Theme:"))) {
        const QString word = value->trimmed().toLower();
        for (const int candidate : { Bright, Dark, Native }) {
            if (word == QString::fromLatin1(themeName(candidate)).toLower()) {
                theme = candidate;
                themeNamed = true;
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
    return themeNamed;
}

QString SettingsFile::text() const
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
