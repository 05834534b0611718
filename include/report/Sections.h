#pragma once

#include "report/Pages.h"
#include "report/ReportChart.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace report {

using Field = std::pair<QString, QString>; ///< label, value

// The parts that several reports share, each drawn from a top edge and returning the height it takes.
namespace sections {

    /// A bold heading with a line of smaller text below it.
    double heading(const Sheet& sheet, double top, const QString& title, const QString& subtitle);
    /// Label and value pairs in two columns, values wrapped.
    double fields(const Sheet& sheet, double top, const std::vector<Field>& left, const std::vector<Field>& right);
    /// The chart in the style, filled by setUp when painting, in a box of the content width.
    double chart(const Sheet& sheet, double top, const Style& style, const std::function<void(ReportChart&)>& setUp,
        Decimation decimation = singleTraceRows);
    /// A caption over rich text as a read-out panel shows it, in black.
    double richText(const Sheet& sheet, double top, const QString& caption, const QString& html);
    /// A caption over lines of plain text.
    double lines(const Sheet& sheet, double top, const QString& caption, const QStringList& lines,
        const QColor& captionColour = Qt::black);

    /// Logical size of a report chart of that physical width and height: the size of a chart on screen.
    QSize chartLogicalSize(const QSizeF& target);

} // namespace sections

/// The text of a file's string field: up to its first zero byte, trimmed; a dash when blank.
QString fieldText(const std::string& value);

} // namespace report
