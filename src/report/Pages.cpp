#include "report/Pages.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QRegularExpression>
#include <QTextLayout>

#include <cstdlib>

namespace report {

QPageSize::PageSizeId pageSizeFor(const QLocale& locale)
{
    // The countries whose standard paper is Letter: the Americas from Canada down to Chile and Colombia, and the
    // Philippines.
    switch (locale.country()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Guatemala:
    case QLocale::Honduras:
    case QLocale::ElSalvador:
    case QLocale::Nicaragua:
    case QLocale::CostaRica:
    case QLocale::Panama:
    case QLocale::Cuba:
    case QLocale::DominicanRepublic:
    case QLocale::PuertoRico:
    case QLocale::Venezuela:
    case QLocale::Colombia:
    case QLocale::Chile:
    case QLocale::Philippines:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}

QLocale paperLocale()
{
    for (const char* name : { "LC_ALL", "LC_PAPER", "LANG" }) {
        const QByteArray value = qgetenv(name);
        if (value.isEmpty())
            continue;
        // "de_DE.UTF-8", "de_DE@euro": the language and the country are what counts.
        QString locale = QString::fromLatin1(value);
        const int cut = locale.indexOf(QRegularExpression(QStringLiteral("[.@]")));
        if (cut >= 0)
            locale.truncate(cut);
        return QLocale(locale);
    }
    return QLocale::system();
}

namespace {

    // Lines of text broken between words, and inside a word only where it is wider than the line.
    double layOut(QTextLayout& layout, const QFont& font, const QPaintDevice* device, double width, Qt::Alignment align)
    {
        layout.setFont(QFont(font, const_cast<QPaintDevice*>(device)));
        QTextOption option(align);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        double height = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout.endLayout();
        return height;
    }

} // namespace

QFont Sheet::font(double points, bool bold) const
{
    // The desktop's sans-serif face, whatever font the widgets use, so that every report looks alike.
    QFont f(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    // No ligatures: "fi" stays two letters for whoever searches or copies the PDF's text.
    f.setLetterSpacing(QFont::PercentageSpacing, 100.001);
    return f;
}

double Sheet::textHeight(const QFont& f, double width, const QString& s) const
{
    if (s.isEmpty())
        return metrics(f).height();
    QTextLayout layout(s);
    return layOut(layout, f, device, width, Qt::AlignLeft);
}

void Sheet::text(const QRectF& rect, const QFont& f, const QString& s, int flags, const QColor& colour) const
{
    if (!painter || s.isEmpty())
        return;
    QTextLayout layout(s);
    const double height = layOut(layout, f, device, rect.width(), Qt::Alignment(flags) & Qt::AlignHorizontal_Mask);
    double y = rect.top();
    if (flags & Qt::AlignVCenter)
        y += (rect.height() - height) / 2;
    else if (flags & Qt::AlignBottom)
        y += rect.height() - height;
    painter->setPen(colour);
    layout.draw(painter, QPointF(rect.left(), y));
}

PagedTarget::PagedTarget(QPagedPaintDevice& device)
    : paged(device)
{
    // The report keeps its own margins.
    paged.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

const QPaintDevice& PagedTarget::device() const { return paged; }

QPainter* PagedTarget::page(int index)
{
    if (failed)
        return nullptr;
    if (index == 0) {
        if (!painter.begin(&paged)) {
            failed = true;
            return nullptr;
        }
    } else if (!paged.newPage()) {
        failed = true;
        return nullptr;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    return &painter;
}

bool PagedTarget::finish() { return painter.isActive() ? painter.end() && !failed : !failed; }

ImageTarget::ImageTarget(QPageSize::PageSizeId size, int dpi)
    : blank(QPageSize(size).sizePixels(dpi), QImage::Format_RGB32)
{
    const int dotsPerMeter = qRound(dpi / 0.0254);
    blank.setDotsPerMeterX(dotsPerMeter);
    blank.setDotsPerMeterY(dotsPerMeter);
    blank.fill(Qt::white);
}

QPainter* ImageTarget::page(int)
{
    painter.reset();
    images.push_back(blank);
    painter = std::make_unique<QPainter>(&images.back());
    painter->setRenderHint(QPainter::Antialiasing);
    return painter.get();
}

bool ImageTarget::finish()
{
    painter.reset();
    return true;
}

} // namespace report
