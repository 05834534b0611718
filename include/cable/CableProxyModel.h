#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

class CableModel;

// The whole-cable table as shown: sorted by any column (numbers as numbers) and filtered by the words of the filter
// box, each of which must occur in the row.
class CableProxyModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CableProxyModel(QObject* parent = nullptr);

    void setCableModel(CableModel* model);

    void setFilterWords(const QString& text);
    const QStringList& filterWords() const { return words; }

    /// The source rows in the order shown.
    std::vector<int> shownRows() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    CableModel* cable = nullptr; ///< the source model, not owned
    QStringList words;
};
