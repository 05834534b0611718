#pragma once

#include <QCoreApplication>
#include <QString>

class QAbstractItemView;

// Rows of a table or tree as tab-separated text, ready to paste into a spreadsheet: Ctrl+C and a context-menu
// "Copy" on the view.
class ItemViewCopy {
    Q_DECLARE_TR_FUNCTIONS(ItemViewCopy)

public:
    /// Gives the view the "Copy" action: its shortcut Ctrl+C while the view has the focus, and its context menu.
    static void install(QAbstractItemView* view);
    /// The header line when the view shows its header, then the selected rows, or every row when none is
    /// selected, in the view's order. Cells are the visible columns in their shown order, with their texts as
    /// shown; a cell holding a tab, a line break or a quote is quoted as spreadsheets read it. A selected row
    /// that is collapsed brings its hidden rows along.
    static QString rowsText(const QAbstractItemView& view);
};
