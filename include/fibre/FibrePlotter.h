#pragma once

#include "compare/MultiPlotter.h"
#include "plotter/MinimapSource.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

// The chart of a fibre: the comparison chart with both ends' traces on A's axis, and over them the span's ends, the
// events at their averaged places (the selected one stressed) and a legend of the two directions.
class FibrePlotter : public MultiPlotter, public MinimapSource {
    Q_OBJECT
public:
    explicit FibrePlotter(QWidget* parent = nullptr);

    struct Marker {
        double km = 0;
        QString label;
        bool marked = false; ///< fails a threshold
    };
    struct LegendEntry {
        QString text;
        QColor colour;
    };

    void setMarkers(std::vector<Marker> markers, std::optional<double> spanStart, std::optional<double> spanEnd);
    void setLegend(std::vector<LegendEntry> entries);
    void setSelectedMarker(int index);
    int selectedMarker() const { return selected; }
    const std::vector<Marker>& markers() const { return shown; }

    /// The marker whose line lies within a few pixels of the chart's x pixel; -1 for none.
    int markerAt(double pixelX) const;
    /// The chart's x pixel of a distance.
    double pixelOf(double km) const;
    /// The visible data range in the chart's pixels.
    QRectF dataArea() const;

    ChartView& overviewedChart() override { return chart; }
    bool hasOverview() const override { return chart.hasData; }
    void replotForMinimap() override { _replotAll(); }

    void paintMarkerLines(QPainter& painter) override;
    void paintMarkerLabelsAndUnits(QPainter& painter) override;

signals:
    void markerClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<Marker> shown;
    std::vector<LegendEntry> legend;
    std::optional<double> start;
    std::optional<double> end;
    int selected = -1;
};
