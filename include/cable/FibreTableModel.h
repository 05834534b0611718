#pragma once

#include "analysis/FibreAnalysis.h"
#include "analysis/FibreSummary.h"
#include "analysis/Thresholds.h"
#include "analysis/Verdict.h"
#include "cable/CableProxyModel.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The cable judged fibre by fibre: one row per fibre and wavelength, from both ends' averaged values. Holds the
// analyses, so that new thresholds judge again without reading anything.
class FibreTableModel : public QAbstractTableModel, public FilteredRows {
    Q_OBJECT
public:
    enum Column {
        Fibre,
        Wavelength,
        Verdict,
        FileAB,
        FileBA,
        Span,
        TotalLoss,
        Attenuation,
        WorstSplice,
        SpliceAt,
        WorstConnector,
        WorstReflectance,
        Bends,
        Reasons,
        ColumnCount
    };
    enum Role {
        SortRole = Qt::UserRole + 1,
        FibreRole, ///< the index of the row's fibre in analyses()
    };

    explicit FibreTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setAnalyses(std::vector<analysis::FibreAnalysis> analyses);
    void setThresholds(const analysis::Thresholds& thresholds);
    const analysis::Thresholds& thresholds() const { return limits; }
    const std::vector<analysis::FibreAnalysis>& analyses() const { return fibres; }
    const analysis::FibreRow& fibreRow(int row) const { return rows[size_t(row)].row; }
    int fibreOf(int row) const { return rows[size_t(row)].fibre; }
    /// Counted by fibre: its worst wavelength.
    analysis::Counts counts() const { return tally; }

    bool rowMatches(int row, const QStringList& words) const override;
    bool lessThan(int left, int right, int column) const override;

    /// The cell's text as shown.
    static QString cellText(const analysis::FibreRow& r, int column);

signals:
    void countsChanged();

private:
    struct Row {
        analysis::FibreRow row;
        int fibre = 0;
        unsigned failed = 0; ///< the rules its reasons name
        QString search;
    };
    void judge();

    std::vector<analysis::FibreAnalysis> fibres;
    std::vector<Row> rows;
    analysis::Thresholds limits;
    analysis::Counts tally;
};
