#include "widgets/ItemViewCopy.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>

namespace {

QString cell(QString text)
{
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))
        && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

const QHeaderView* headerOf(const QAbstractItemView& view)
{
    if (const auto* tree = qobject_cast<const QTreeView*>(&view))
        return tree->header();
    if (const auto* table = qobject_cast<const QTableView*>(&view))
        return table->horizontalHeader();
    return nullptr;
}

class RowWriter {
public:
    explicit RowWriter(const QAbstractItemView& v)
        : view(v)
        , model(*v.model())
        , header(headerOf(v))
        , tree(qobject_cast<const QTreeView*>(&v))
        , table(qobject_cast<const QTableView*>(&v))
    {
        if (header) {
            for (int visual = 0; visual < header->count(); ++visual) {
                const int logical = header->logicalIndex(visual);
                if (logical >= 0 && !header->isSectionHidden(logical))
                    columns << logical;
            }
        } else if (const auto* list = qobject_cast<const QListView*>(&v)) {
            columns << list->modelColumn();
        } else {
            columns << 0;
        }
    }

    QString text()
    {
        if (header && !header->isHidden()) {
            QStringList titles;
            for (int column : qAsConst(columns))
                titles << cell(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
            lines << titles.join(QLatin1Char('\t'));
        }
        const QItemSelectionModel* selection = view.selectionModel();
        writeRows(view.rootIndex(), !selection || !selection->hasSelection());
        return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

private:
    const QAbstractItemView& view;
    const QAbstractItemModel& model;
    const QHeaderView* header;
    const QTreeView* tree;
    const QTableView* table;
    QList<int> columns;
    QStringList lines;

    bool hidden(int row, const QModelIndex& parent) const
    {
        return (tree && tree->isRowHidden(row, parent)) || (table && table->isRowHidden(row));
    }

    QString shown(const QModelIndex& index) const
    {
        const QVariant value = index.data(Qt::DisplayRole);
        if (const auto* delegate = qobject_cast<const QStyledItemDelegate*>(view.itemDelegate(index)))
            return delegate->displayText(value, view.locale()).replace(QChar::LineSeparator, QLatin1Char('\n'));
        return value.toString();
    }

    void writeRows(const QModelIndex& parent, bool all)
    {
        const QItemSelectionModel* selection = view.selectionModel();
        for (int row = 0; row < model.rowCount(parent); ++row) {
            if (hidden(row, parent))
                continue;
            const bool taken = all || selection->rowIntersectsSelection(row, parent);
            if (taken) {
                QStringList cells;
                for (int column : qAsConst(columns))
                    cells << cell(shown(model.index(row, column, parent)));
                lines << cells.join(QLatin1Char('\t'));
            }
            const QModelIndex first = model.index(row, 0, parent);
            if (tree && model.hasChildren(first))
                writeRows(first, all || (taken && !tree->isExpanded(first)));
        }
    }
};

} // namespace

QString ItemViewCopy::rowsText(const QAbstractItemView& view)
{
    if (!view.model())
        return QString();
    return RowWriter(view).text();
}

void ItemViewCopy::install(QAbstractItemView* view)
{
    auto* copy = new QAction(tr("Copy"), view);
    copy->setObjectName(QStringLiteral("copyRowsAction"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(
        copy, &QAction::triggered, view, [view] { QGuiApplication::clipboard()->setText(rowsText(*view)); });
    view->addAction(copy);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
}
