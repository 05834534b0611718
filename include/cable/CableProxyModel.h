#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

class CableModel;

/// What the table as shown asks of a model of rows: whether a row has every word, and the order of two rows.
class FilteredRows {
public:
    virtual ~FilteredRows() = default;
    virtual bool rowMatches(int row, const QStringList& words) const = 0;
    virtual bool lessThan(int left, int right, int column) const = 0;
};

// The whole-cable table as shown: sorted by any column (numbers as numbers) and filtered by the words of the filter
// box, each of which must occur in the row.
class CableProxyModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CableProxyModel(QObject* parent = nullptr);

    void setCableModel(CableModel* model);
    /// Any other model of rows: the source model and its rows.
    void setRowsModel(QAbstractItemModel* model, const FilteredRows* rows);

    void setFilterWords(const QString& text);
    const QStringList& filterWords() const { return words; }

    /// The source rows in the order shown.
    std::vector<int> shownRows() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const FilteredRows* cable = nullptr; ///< the source model, not owned
    QStringList words;
};
