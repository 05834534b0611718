#include "report/Sections.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace report {

namespace {
    constexpr double chartHeightMm = 92;
    constexpr double chartLogicalWidth = 1000; ///< pixels of a chart on screen
    const QColor labelColour(70, 70, 70);
} // namespace

QString fieldText(const std::string& value)
{
    const QString text = QString::fromUtf8(value.c_str(), static_cast<int>(std::strlen(value.c_str()))).trimmed();
    return text.isEmpty() ? QStringLiteral("–") : text;
}

namespace sections {

    double heading(const Sheet& sheet, double top, const QString& title, const QString& subtitle)
    {
        const QFont big = sheet.font(14, true);
        const QFont small = sheet.font(9);
        const double width = sheet.content.width();
        const double titleHeight = sheet.textHeight(big, width, title);
        const double subtitleHeight = subtitle.isEmpty() ? 0 : sheet.textHeight(small, width, subtitle);
        sheet.text(QRectF(sheet.content.left(), top, width, titleHeight), big, title);
        sheet.text(QRectF(sheet.content.left(), top + titleHeight, width, subtitleHeight), small, subtitle,
            Qt::AlignLeft | Qt::AlignTop, labelColour);
        return titleHeight + subtitleHeight;
    }

    double fields(const Sheet& sheet, double top, const std::vector<Field>& left, const std::vector<Field>& right)
    {
        const QFont labelFont = sheet.font(8.5, true);
        const QFont valueFont = sheet.font(8.5);
        const double gutter = sheet.mm(6);
        const double column = (sheet.content.width() - gutter) / 2;
        const double labelWidth = sheet.mm(41);
        const double indent = sheet.mm(1.5);
        const double valueWidth = column - labelWidth - indent;
        const double spacing = sheet.mm(0.8);
        double height = 0;
        // Each column stacks its rows on its own, so a long value only moves the rows below it.
        for (int side = 0; side < 2; ++side) {
            const double x = sheet.content.left() + side * (column + gutter);
            double y = top;
            for (const Field& field : side == 0 ? left : right) {
                const double h = std::max(sheet.textHeight(labelFont, labelWidth, field.first),
                    sheet.textHeight(valueFont, valueWidth, field.second));
                sheet.text(
                    QRectF(x, y, labelWidth, h), labelFont, field.first, Qt::AlignLeft | Qt::AlignTop, labelColour);
                sheet.text(QRectF(x + labelWidth + indent, y, valueWidth, h), valueFont, field.second);
                y += h + spacing;
            }
            height = std::max(height, y - top);
        }
        return height;
    }

    QSize chartLogicalSize(const QSizeF& target)
    {
        if (target.width() <= 0)
            return QSize();
        return QSize(int(chartLogicalWidth), int(std::round(chartLogicalWidth * target.height() / target.width())));
    }

    double chart(const Sheet& sheet, double top, const Style& style, const std::function<void(ReportChart&)>& setUp,
        Decimation decimation)
    {
        const double height = sheet.mm(chartHeightMm);
        if (sheet.painter) {
            const QRectF box(sheet.content.left(), top, sheet.content.width(), height);
            ReportChart chart(style, decimation);
            setUp(chart);
            chart.paint(*sheet.painter, box, chartLogicalSize(box.size()));
        }
        return height;
    }

    double richText(const Sheet& sheet, double top, const QString& caption, const QString& html)
    {
        const QFont captionFont = sheet.font(10, true);
        const double captionHeight = sheet.metrics(captionFont).height() + sheet.mm(1);
        QTextDocument document;
        document.documentLayout()->setPaintDevice(const_cast<QPaintDevice*>(sheet.device));
        document.setDefaultFont(sheet.font(8.5));
        document.setDocumentMargin(0);
        document.setTextWidth(sheet.content.width());
        document.setHtml(html);
        const double height = document.size().height();
        if (sheet.painter) {
            sheet.text(QRectF(sheet.content.left(), top, sheet.content.width(), captionHeight), captionFont, caption);
            QPainter& p = *sheet.painter;
            p.save();
            p.translate(sheet.content.left(), top + captionHeight);
            // Black on paper, whatever the screen's theme.
            QAbstractTextDocumentLayout::PaintContext context;
            context.palette.setColor(QPalette::Text, Qt::black);
            document.documentLayout()->draw(&p, context);
            p.restore();
        }
        return captionHeight + height;
    }

    double lines(
        const Sheet& sheet, double top, const QString& caption, const QStringList& lines, const QColor& captionColour)
    {
        const QFont captionFont = sheet.font(10, true);
        const QFont font = sheet.font(8.5);
        const double width = sheet.content.width();
        double y = top;
        const double captionHeight = sheet.textHeight(captionFont, width, caption) + sheet.mm(1);
        sheet.text(
            QRectF(sheet.content.left(), y, width, captionHeight), captionFont, caption, Qt::AlignLeft, captionColour);
        y += captionHeight;
        for (const QString& line : lines) {
            const double h = sheet.textHeight(font, width, line);
            sheet.text(QRectF(sheet.content.left(), y, width, h), font, line);
            y += h;
        }
        return y - top;
    }

} // namespace sections

} // namespace report
