#pragma once

#include <KChartPlotter>

#include <QPointF>

#include <vector>

class TraceModel;

// The diagram of a trace: draws the rows of its TraceModel straight from the model's arrays, the same lines with
// the same pen as KChart::Plotter draws them, and answers indexAt() from the segments it drew, as KChart's hit
// boxes do. Any other model is left to KChart::Plotter.
class TraceDiagram : public KChart::Plotter {
    Q_OBJECT
public:
    explicit TraceDiagram(QWidget* parent = nullptr);

    /// The row whose segment lies under the point (within a pixel of the line, the lowest row where several do).
    QModelIndex indexAt(const QPoint& point) const override;
    /// The model was refilled with its signals blocked: new data bounds, a repaint.
    void rowsRefilled();
    /// Sets the pen only when it differs: every pen change lays the whole chart out again.
    void setPenIfChanged(const QPen& pen);

protected:
    void paint(KChart::PaintContext* context) override;
    const QPair<QPointF, QPointF> calculateDataBoundaries() const override;

private:
    struct Segment {
        QPointF from;
        QPointF to;
        int row;
    };
    const TraceModel* traceModel() const;
    void drawLines(KChart::PaintContext* context, const TraceModel& model);

    std::vector<Segment> segments; ///< drawn by the last paint, in chart pixels
};
