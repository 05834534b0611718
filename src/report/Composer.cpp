#include "report/Composer.h"

#include <QPaintDevice>

namespace report {

namespace {
    constexpr double marginMm = 15;
    constexpr double headerMm = 8; ///< from the paper's top edge to the running header's baseline area
    constexpr double gapMm = 4; ///< between sections
    const QColor frameColour(90, 90, 90);
} // namespace

Composer::Composer(PageTarget* t, const Frame& f, int pages, const Progress& p, int count)
    : target(t)
    , frame(f)
    , pageCount(pages)
    , progress(p)
    , itemCount(count)
{
    if (target)
        sheet.device = &target->device();
}

bool Composer::paint(const Compose& compose, PageTarget& target, const Frame& frame, const Progress& progress)
{
    Composer plan(nullptr, frame, 0, progress, -1);
    plan.sheet.device = &target.device();
    plan.startPage();
    compose(plan);
    if (plan.stopped)
        return false;

    Composer painter(&target, frame, plan.pageIndex + 1, progress, plan.items);
    painter.startPage();
    compose(painter);
    painter.finishPage();
    return target.finish() && !painter.failed && !painter.stopped;
}

void Composer::placed()
{
    ++items;
    if (progress && !progress(items, itemCount))
        stopped = true;
}

void Composer::startPage()
{
    ++pageIndex;
    const QPaintDevice& device = *sheet.device;
    sheet.dpi = device.logicalDpiY();
    page = QRectF(0, 0, device.width(), device.height());
    const double margin = sheet.mm(marginMm);
    // Room for the running header above and the footer below the content.
    sheet.content = page.adjusted(margin, sheet.mm(headerMm) + sheet.mm(10), -margin, -margin - sheet.mm(6));
    y = sheet.content.top();
    pageHeading = currentHeading;
    if (target) {
        sheet.painter = target->page(pageIndex);
        if (!sheet.painter)
            failed = true;
    }
}

void Composer::finishPage()
{
    if (!sheet.painter)
        return;
    // Header and footer go on last, when the page's heading is settled.
    const QFont small = sheet.font(7.5);
    const double left = sheet.content.left();
    const double width = sheet.content.width();
    const double line = sheet.metrics(small).height();
    const double headerTop = sheet.mm(headerMm);
    sheet.text(QRectF(left, headerTop, width, line), small, pageHeading, Qt::AlignLeft | Qt::AlignTop, frameColour);
    QPainter& p = *sheet.painter;
    p.setPen(QPen(frameColour, sheet.pt(0.5)));
    p.drawLine(QPointF(left, headerTop + line + sheet.mm(1)), QPointF(left + width, headerTop + line + sheet.mm(1)));

    const double footerTop = page.bottom() - sheet.mm(marginMm);
    p.setPen(QPen(frameColour, sheet.pt(0.5)));
    p.drawLine(QPointF(left, footerTop), QPointF(left + width, footerTop));
    const QRectF footer(left, footerTop + sheet.mm(1), width, line);
    sheet.text(footer, small, frame.program, Qt::AlignLeft | Qt::AlignTop, frameColour);
    sheet.text(footer, small, frame.made, Qt::AlignHCenter | Qt::AlignTop, frameColour);
    sheet.text(footer, small, QObject::tr("Page %1 of %2").arg(pageIndex + 1).arg(pageCount),
        Qt::AlignRight | Qt::AlignTop, frameColour);
}

void Composer::breakPage()
{
    if (empty())
        return;
    finishPage();
    startPage();
}

void Composer::pageBreak() { breakPage(); }

void Composer::heading(const QString& text)
{
    currentHeading = text;
    if (empty())
        pageHeading = text;
}

void Composer::section(const Section& draw)
{
    if (stopped)
        return;
    Sheet measuring = sheet;
    measuring.painter = nullptr;
    const double height = draw(measuring, y);
    if (!fits(height))
        breakPage();
    draw(sheet, y);
    y += height + sheet.mm(gapMm);
    placed();
}

void Composer::table(const Header& header, const Row& row, int rows)
{
    if (stopped)
        return;
    Sheet measuring = sheet;
    measuring.painter = nullptr;
    int next = 0;
    do {
        const bool continued = next > 0;
        const double headerHeight = header(measuring, y, continued);
        // A header never stands alone at the foot of a page.
        const double firstRow = next < rows ? row(measuring, y + headerHeight, next) : 0;
        if (!fits(headerHeight + firstRow))
            breakPage();
        header(sheet, y, continued);
        y += headerHeight;
        for (bool opening = true; next < rows; ++next) {
            const double height = row(measuring, y, next);
            if (!opening && !fits(height))
                break;
            row(sheet, y, next);
            y += height;
            opening = false;
            placed();
            if (stopped)
                return;
        }
        if (next < rows)
            breakPage();
    } while (next < rows);
    y += sheet.mm(gapMm);
}

} // namespace report
