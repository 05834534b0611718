#include "widgets/ToolTipDelegate.h"

#include "widgets/PlainText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

bool ToolTipDelegate::isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (opt.text.isEmpty())
        return false;
    // The style draws the text into what is left of the cell beside the icon, less a margin on either side, and
    // cuts it with the font's own eliding: asked the same, it tells whether a line loses anything. A single
    // character is never elided, only clipped; measuring the text's advance would take it for a cut one.
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QFontMetrics metrics(opt.font);
    const Qt::TextElideMode mode = opt.textElideMode == Qt::ElideNone ? Qt::ElideRight : opt.textElideMode;
    const QStringList lines = opt.text.split(QChar::LineSeparator);
    for (const QString& line : lines) {
        if (metrics.elidedText(line, mode, textRect.width() - 2 * margin) != line)
            return true;
    }
    return false;
}

QString ToolTipDelegate::toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString own = index.data(Qt::ToolTipRole).toString();
    if (!isElided(option, index))
        return PlainText::toolTip(own);
    const QString whole = displayText(index.data(Qt::DisplayRole), option.locale);
    return PlainText::toolTip(own.isEmpty() ? whole : whole + QStringLiteral("\n\n") + own);
}

bool ToolTipDelegate::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!event || !view || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = toolTip(option, index);
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(event->globalPos(), text, view, view->visualRect(index));
    }
    return true;
}
