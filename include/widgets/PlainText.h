#pragma once

#include <QString>
#include <QTextDocument>

// File names and texts read from files are shown as written: never taken for markup or shortcut marks.
namespace PlainText {

/// For a tool tip, which Qt shows as rich text when its first line looks like markup: such a text is escaped,
/// with its line breaks and blanks kept; any other text stays as it is.
inline QString toolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

/// For a tab title, where "&" marks the next letter as a shortcut: doubled, it shows as itself.
inline QString tabTitle(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

} // namespace PlainText
