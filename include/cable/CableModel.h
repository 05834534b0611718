#pragma once

#include "analysis/FileSummary.h"
#include "analysis/SummaryTable.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"
#include "cable/CableProxyModel.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

// The whole-cable table: one row per file, its summary and its verdict under the thresholds. Holds the summaries
// only, never a parser or a trace.
class CableModel : public QAbstractTableModel, public FilteredRows {
    Q_OBJECT
public:
    /// The columns are those of analysis::Column, in its order.
    using Column = analysis::Column;
    static constexpr int section(Column column) { return static_cast<int>(column); }
    enum Role {
        /// Numbers as numbers (double, invalid when the file does not give one), texts as texts.
        SortRole = Qt::UserRole + 1
    };

    explicit CableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Takes every row away.
    void clear();
    /// Adds rows at the end, judged by the current thresholds.
    void append(std::vector<analysis::FileSummary> summaries);
    /// Judges every row anew; nothing is read again.
    void setThresholds(const analysis::Thresholds& thresholds);
    const analysis::Thresholds& thresholds() const { return limits; }

    const analysis::FileSummary& summary(int row) const { return rows[static_cast<size_t>(row)].summary; }
    const analysis::Verdict& verdict(int row) const { return rows[static_cast<size_t>(row)].verdict; }
    analysis::Counts counts() const { return tally; }
    /// The folder the relative paths are below.
    QString folder;
    QString fullPath(int row) const;

    /// True when every word (case-folded) is in the row's texts or its verdict.
    bool rowMatches(int row, const QStringList& words) const override;
    /// The table's order of two rows by a column: numbers as numbers, texts in natural order, empty cells last,
    /// ties by file.
    bool lessThan(int left, int right, int column) const override;

    /// The colours of a cell that fails a limit (failed) or cannot be judged, for the theme's background so that the
    /// text stays readable; background false: the text colour.
    static QVariant markColour(bool failed, bool background);

signals:
    void countsChanged();

private:
    struct Row {
        analysis::FileSummary summary;
        analysis::Verdict verdict;
        QString search; ///< the texts that do not depend on the thresholds, case-folded
    };
    std::vector<Row> rows;
    analysis::Thresholds limits;
    analysis::Counts tally;

    void judge(Row& row, bool withCables) const;
    QVariant cellColour(const Row& row, analysis::Column column, bool background) const;
    QString toolTip(const Row& row, analysis::Column column) const;
};
