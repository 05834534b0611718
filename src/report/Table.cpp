#include "report/Table.h"

#include <QObject>

#include <numeric>

namespace report {

namespace {
    const QColor headerShade(225, 225, 225);
    const QColor rowShade(244, 244, 244);
    constexpr double padMm = 1.2;
} // namespace

Table::Table(QString c, std::vector<Column> cols)
    : caption(std::move(c))
    , columns(std::move(cols))
{
}

QFont Table::cellFont(const Sheet& sheet) { return sheet.font(8); }

std::vector<QRectF> Table::cells(const Sheet& sheet, double top, double height) const
{
    const double total
        = std::accumulate(columns.begin(), columns.end(), 0.0, [](double s, const Column& c) { return s + c.width; });
    std::vector<QRectF> rects;
    double x = sheet.content.left();
    for (const Column& column : columns) {
        const double w = sheet.content.width() * column.width / total;
        rects.emplace_back(x, top, w, height);
        x += w;
    }
    return rects;
}

double Table::header(const Sheet& sheet, double top, bool continued) const
{
    const QFont captionFont = sheet.font(10, true);
    const QFont bold = sheet.font(8, true);
    const double captionHeight = sheet.metrics(captionFont).height() + sheet.mm(1);
    const double rowHeight = sheet.metrics(bold).height() + sheet.mm(2 * padMm);
    if (sheet.painter) {
        const QString text = continued ? QObject::tr("%1 (continued)").arg(caption) : caption;
        sheet.text(QRectF(sheet.content.left(), top, sheet.content.width(), captionHeight), captionFont, text);
        const double rowTop = top + captionHeight;
        sheet.painter->fillRect(QRectF(sheet.content.left(), rowTop, sheet.content.width(), rowHeight), headerShade);
        const auto rects = cells(sheet, rowTop, rowHeight);
        const double pad = sheet.mm(padMm);
        for (size_t i = 0; i < columns.size(); ++i) {
            const QRectF r = rects[i].adjusted(pad, 0, -pad, 0);
            const QString title = sheet.metrics(bold).elidedText(columns[i].title, Qt::ElideRight, r.width());
            sheet.painter->setFont(bold);
            sheet.painter->setPen(Qt::black);
            sheet.painter->drawText(r, int(columns[i].alignment | Qt::AlignVCenter) | Qt::TextSingleLine, title);
        }
    }
    return captionHeight + rowHeight;
}

double Table::row(const Sheet& sheet, double top, int index, const QStringList& values) const
{
    const QFont font = cellFont(sheet);
    const double height = sheet.metrics(font).height() + sheet.mm(padMm);
    if (sheet.painter) {
        if (index % 2 == 1)
            sheet.painter->fillRect(QRectF(sheet.content.left(), top, sheet.content.width(), height), rowShade);
        const auto rects = cells(sheet, top, height);
        const double pad = sheet.mm(padMm);
        for (size_t i = 0; i < columns.size() && int(i) < values.size(); ++i) {
            const QRectF r = rects[i].adjusted(pad, 0, -pad, 0);
            const QString text = sheet.metrics(font).elidedText(values[int(i)], columns[i].elide, r.width());
            // One line whatever the text: no wrapping inside a table row.
            sheet.painter->setFont(font);
            sheet.painter->setPen(Qt::black);
            sheet.painter->drawText(r, int(columns[i].alignment | Qt::AlignVCenter) | Qt::TextSingleLine, text);
        }
    }
    return height;
}

} // namespace report
