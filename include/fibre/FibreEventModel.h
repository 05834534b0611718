#pragma once

#include "analysis/FibreTable.h"

#include <QAbstractTableModel>

#include <vector>

// The averaged event table of a fibre at one wavelength: one row per event, the cells that fail a limit marked as
// the cable table marks them.
class FibreEventModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Column = analysis::FibreColumn;
    static constexpr int section(Column c) { return static_cast<int>(c); }
    enum Role {
        FailedRole = Qt::UserRole + 1, ///< the Rule bits the row fails
    };

    explicit FibreEventModel(QObject* parent = nullptr);

    void setRows(std::vector<analysis::FibreTableRow> rows);
    const analysis::FibreTableRow& row(int r) const { return shown[size_t(r)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<analysis::FibreTableRow> shown;
};
