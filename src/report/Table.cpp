#include "report/Table.h"

#include <QObject>

#include <algorithm>
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

void Table::fitToContents(const std::vector<QStringList>* rows)
{
    contents = rows;
    fittedFor = -1;
}

const std::vector<double>& Table::widths(const Sheet& sheet) const
{
    if (fittedFor == sheet.content.width() && fittedDpi == sheet.dpi)
        return fitted;
    fittedFor = sheet.content.width();
    fittedDpi = sheet.dpi;
    const double total
        = std::accumulate(columns.begin(), columns.end(), 0.0, [](double s, const Column& c) { return s + c.width; });
    fitted.assign(columns.size(), 0);
    if (!contents) {
        for (size_t i = 0; i < columns.size(); ++i)
            fitted[i] = sheet.content.width() * columns[i].width / total;
        return fitted;
    }
    // Every column as wide as its widest text, title included; the wrapping ones share what is left, the narrower
    // first, each no wider than its widest text needs, so that a short ID stays whole beside a long file name.
    const QFontMetricsF cell = sheet.metrics(cellFont(sheet));
    const QFontMetricsF bold = sheet.metrics(sheet.font(8, true));
    const double pad = 2 * sheet.mm(padMm);
    std::vector<double> natural(columns.size(), 0);
    for (size_t i = 0; i < columns.size(); ++i) {
        natural[i] = bold.horizontalAdvance(columns[i].title);
        for (const QStringList& row : *contents)
            natural[i] = std::max(natural[i], cell.horizontalAdvance(row.value(int(i))));
        natural[i] += pad + 1;
    }
    double fixed = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].wrap)
            fixed += natural[i];
    }
    double left = std::max(0.0, sheet.content.width() - fixed);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].wrap)
            fitted[i] = natural[i];
    }
    std::vector<size_t> wrapping;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].wrap)
            wrapping.push_back(i);
    }
    std::sort(wrapping.begin(), wrapping.end(), [&](size_t a, size_t b) { return natural[a] < natural[b]; });
    for (size_t k = 0; k < wrapping.size(); ++k) {
        const size_t i = wrapping[k];
        const double share = left / double(wrapping.size() - k);
        fitted[i] = std::min(natural[i], std::max(share, pad + cell.averageCharWidth() * 4));
        left = std::max(0.0, left - fitted[i]);
    }
    return fitted;
}

std::vector<QRectF> Table::cells(const Sheet& sheet, double top, double height) const
{
    const std::vector<double>& w = widths(sheet);
    std::vector<QRectF> rects;
    double x = sheet.content.left();
    for (size_t i = 0; i < columns.size(); ++i) {
        rects.emplace_back(x, top, w[i], height);
        x += w[i];
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
    const double pad = sheet.mm(padMm);
    double lines = sheet.metrics(font).height();
    const bool wrapping = contents != nullptr;
    if (wrapping) {
        const auto rects = cells(sheet, top, 0);
        for (size_t i = 0; i < columns.size() && int(i) < values.size(); ++i) {
            if (columns[i].wrap)
                lines = std::max(lines, sheet.textHeight(font, rects[i].width() - 2 * pad, values[int(i)]));
        }
    }
    const double height = lines + pad;
    if (sheet.painter) {
        if (index % 2 == 1)
            sheet.painter->fillRect(QRectF(sheet.content.left(), top, sheet.content.width(), height), rowShade);
        const auto rects = cells(sheet, top, height);
        for (size_t i = 0; i < columns.size() && int(i) < values.size(); ++i) {
            const QRectF r = rects[i].adjusted(pad, 0, -pad, 0);
            if (wrapping && columns[i].wrap) {
                sheet.text(r, font, values[int(i)], int(columns[i].alignment | Qt::AlignVCenter));
                continue;
            }
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
