#pragma once

#include <QStyledItemDelegate>

// Item delegate whose tool tips leave nothing unreadable: a cell too narrow for its text shows the whole text,
// followed by the cell's own tool tip if it has one; every tool tip shows its text as written, not as markup.
class ToolTipDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    /// Whether the cell's text is cut in a cell of option's rectangle.
    bool isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    /// The tool tip of a cell drawn in option's rectangle; empty for none.
    QString toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;
};
