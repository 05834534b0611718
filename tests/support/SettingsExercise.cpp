#include "SettingsExercise.h"

#include "core/SettingsFile.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

#include <utility>
#include <vector>

namespace sortest {

namespace {

    const char* const keys[] = { "Theme:", "CursorMode:", "GraphColour:", "SelectedMultiGraphPenColour:",
        "CursorMarkerColour:", "CursorLineColour:", "EventMarkerColour:", "EventLineColour:" };

    std::vector<std::pair<const char*, QColor>> colours(const SettingsFile& s)
    {
        return { { "GraphColour:", s.graphColour }, { "SelectedMultiGraphPenColour:", s.selectedMultiGraphPenColour },
            { "CursorMarkerColour:", s.cursorMarkerColour }, { "CursorLineColour:", s.cursorLineColour },
            { "EventMarkerColour:", s.eventMarkerColour }, { "EventLineColour:", s.eventLineColour } };
    }

    bool sameColour(const QColor& a, const QColor& b)
    {
        return a.isValid() == b.isValid() && (!a.isValid() || a.rgba() == b.rgba());
    }

    bool sameSettings(const SettingsFile& a, const SettingsFile& b)
    {
        if (a.theme != b.theme || a.cursorMode != b.cursorMode)
            return false;
        const auto ca = colours(a);
        const auto cb = colours(b);
        for (size_t i = 0; i < ca.size(); ++i) {
            if (!sameColour(ca[i].second, cb[i].second))
                return false;
        }
        return true;
    }

    // The eight lines, keys in order, values in the forms the writer uses.
    std::string checkText(const QString& text)
    {
        if (!text.endsWith(QLatin1Char('\n')))
            return "the written file does not end with a line end";
        const QStringList lines = text.left(text.size() - 1).split(QLatin1Char('\n'));
        if (lines.size() != 8)
            return "the written file has " + std::to_string(lines.size()) + " lines";
        static const QRegularExpression colour(QStringLiteral("^#[0-9a-f]{6}$"));
        for (int i = 0; i < 8; ++i) {
            const QString key = QLatin1String(keys[i]);
            if (!lines[i].startsWith(key))
                return "line " + std::to_string(i + 1) + " of the written file is not " + keys[i];
            const QString value = lines[i].mid(key.size());
            const bool good = i == 0 ? (value == QLatin1String("Bright") || value == QLatin1String("Dark")
                                  || value == QLatin1String("Native"))
                : i == 1             ? (value == QLatin1String("0") || value == QLatin1String("1"))
                                     : colour.match(value).hasMatch();
            if (!good)
                return "written value " + value.toStdString() + " of " + keys[i];
        }
        return {};
    }

} // namespace

SettingsFile factorySettings()
{
    SettingsFile s;
    s.theme = SettingsFile::Bright;
    s.cursorMode = true;
    s.graphColour = QColor(255, 0, 0);
    s.selectedMultiGraphPenColour = QColor(50, 255, 50);
    s.cursorMarkerColour = QColor(255, 150, 50);
    s.cursorLineColour = QColor(50, 150, 50);
    s.eventMarkerColour = QColor(150, 255, 50);
    s.eventLineColour = QColor(150, 150, 50);
    return s;
}

SettingsFile otherSettings()
{
    SettingsFile s;
    s.theme = SettingsFile::Native;
    s.cursorMode = false;
    s.graphColour = QColor(1, 2, 3);
    s.selectedMultiGraphPenColour = QColor(4, 5, 6);
    s.cursorMarkerColour = QColor(7, 8, 9);
    s.cursorLineColour = QColor(10, 11, 12);
    s.eventMarkerColour = QColor(13, 14, 15);
    s.eventLineColour = QColor(16, 17, 18);
    return s;
}

std::string checkAppliedSettings(
    const QByteArray& contents, const SettingsFile& start, const SettingsFile& read, bool themeNamed)
{
    if (read.theme != SettingsFile::Dark && read.theme != SettingsFile::Bright && read.theme != SettingsFile::Native)
        return "theme " + std::to_string(read.theme) + " is none of the three";
    // What the reader sees: the bytes up to the first zero byte.
    const QByteArray head = contents.left(static_cast<int>(qstrnlen(contents.constData(), contents.size())));
    if (themeNamed && !head.contains("Theme:"))
        return "a theme was named by a file without the key";
    if (!themeNamed && read.theme != start.theme)
        return "the theme changed although none was named";
    if (!head.contains("CursorMode:") && read.cursorMode != start.cursorMode)
        return "the cursor mode changed without its key";
    const auto before = colours(start);
    const auto after = colours(read);
    for (size_t i = 0; i < before.size(); ++i) {
        if (!head.contains(before[i].first) && !sameColour(before[i].second, after[i].second))
            return std::string(before[i].first) + " changed without its key";
    }

    const QString text = read.text();
    if (const auto problem = checkText(text); !problem.empty())
        return problem;
    for (const SettingsFile& base : { factorySettings(), otherSettings() }) {
        SettingsFile again = base;
        if (!again.apply(text.toLatin1()))
            return "the written file names no theme";
        if (again.text() != text)
            return "the written file reads back as another: " + again.text().toStdString();
    }
    return {};
}

std::string exerciseSettings(const QByteArray& contents)
{
    const SettingsFile start = factorySettings();
    SettingsFile read = start;
    const bool named = read.apply(contents);
    if (const auto problem = checkAppliedSettings(contents, start, read, named); !problem.empty())
        return problem;
    SettingsFile twice = read;
    twice.apply(contents);
    if (!sameSettings(twice, read))
        return "applying the same contents again changed the settings";
    return {};
}

} // namespace sortest
