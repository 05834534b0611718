#pragma once

#include "report/Pages.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace report {

struct Column {
    QString title;
    double width; ///< share of the table's width
    Qt::Alignment alignment = Qt::AlignRight;
    Qt::TextElideMode elide = Qt::ElideRight; ///< where a cell that does not fit loses its text
};

// A table of one-line rows over the content width: a caption, a header row, rows shaded every other one. Cells
// that do not fit are elided, so every row takes one line.
class Table {
public:
    Table(QString caption, std::vector<Column> columns);

    /// The caption ("(continued)" on the pages after the first) and the column titles.
    double header(const Sheet& sheet, double top, bool continued) const;
    double row(const Sheet& sheet, double top, int index, const QStringList& cells) const;

    static QFont cellFont(const Sheet& sheet);

private:
    std::vector<QRectF> cells(const Sheet& sheet, double top, double height) const;

    QString caption;
    std::vector<Column> columns;
};

} // namespace report
