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
    bool wrap = false; ///< in a table fitted to its contents: the cell wraps instead, and takes the width left
};

// A table of rows over the content width: a caption, a header row, rows shaded every other one. Cells that do not
// fit are elided, so every row takes one line; a table fitted to its contents gives every column the width of its
// widest text instead, the wrapping columns share what is left and their cells take as many lines as they need.
class Table {
public:
    Table(QString caption, std::vector<Column> columns);

    /// The caption ("(continued)" on the pages after the first) and the column titles.
    double header(const Sheet& sheet, double top, bool continued) const;
    double row(const Sheet& sheet, double top, int index, const QStringList& cells) const;

    static QFont cellFont(const Sheet& sheet);

    /// Fits the columns to these rows, which must outlive the table's use.
    void fitToContents(const std::vector<QStringList>* rows);

private:
    std::vector<QRectF> cells(const Sheet& sheet, double top, double height) const;
    const std::vector<double>& widths(const Sheet& sheet) const;

    QString caption;
    std::vector<Column> columns;
    const std::vector<QStringList>* contents = nullptr;
    mutable std::vector<double> fitted; ///< column widths for the sheet below
    mutable double fittedFor = -1; ///< the content width and resolution they were measured at
    mutable double fittedDpi = -1;
};

} // namespace report
