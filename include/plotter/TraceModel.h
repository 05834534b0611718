#pragma once

#include "plotter/PointRows.h"

#include <QAbstractTableModel>
#include <QPair>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <vector>

// The point rows of a decimated trace over plain arrays: x, y, tool tip, kind and point number, as the chart
// interaction reads them. The tool tip is put together only when it is asked for. Refilled like every chart model:
// signals of the model and its diagram blocked, the diagram told once at the end.
class TraceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// The columns of a point row.
    enum Column {
        XColumn = chart::XColumn,
        YColumn = chart::YColumn,
        ToolTipColumn = chart::ToolTipColumn,
        KindColumn = chart::KindColumn,
        NumberColumn = chart::NumberColumn,
        ColumnCount = chart::pointColumnCount
    };
    enum Role {
        KindRole = chart::KindRole ///< of KindColumn: always chart::TracePoint
    };

    explicit TraceModel(QObject* parent = nullptr);

    /// Rows, all blank until they are set.
    void reset(int rows);
    /// One row: x and y as drawn, the raw level at the row's sample for the tool tip, the sample index the tool tip
    /// names and the number of column 4.
    void setRow(int row, double x, double y, double sampleY, uint32_t sample, double number);
    /// Appended to the tool tip after the sample index; closes the table.
    void setToolTipTail(const QString& tail);

    int rows() const { return static_cast<int>(xs.size()); }
    bool filled(int row) const { return xs[size_t(row)] == xs[size_t(row)]; }
    /// Not a number in blank rows.
    const std::vector<double>& xValues() const { return xs; }
    const std::vector<double>& yValues() const { return ys; }
    /// Smallest and largest x and y of the filled rows; not numbers without any.
    QPair<QPointF, QPointF> bounds() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<double> xs;
    std::vector<double> ys;
    std::vector<double> sampleYs;
    std::vector<double> numbers;
    std::vector<uint32_t> samples;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool any = false;
    QString toolTipTail;
};
