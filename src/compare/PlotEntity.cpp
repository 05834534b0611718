#include "compare/PlotEntity.h"

#include "analysis/TraceLabel.h"
#include "compare/MultiPlotOverview.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/MultiPlotter.h"
#include "core/Application.h"
#include "plotter/TraceDiagram.h"
#include "widgets/ReadoutNumber.h"

#include <QSignalBlocker>
#include <QStringBuilder>

#include <KChartAbstractCoordinatePlane>
#include <KChartCartesianCoordinatePlane>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Extremes {
    uint64_t maxAt;
    uint64_t minAt;
    double maxY;
    double minY;
};

// First occurrences of the largest and the smallest of y[from, to); a function of its own keeps the running values
// in registers, which the scan over every sample of every trace depends on.
Extremes extremes(const double* y, uint64_t from, uint64_t to)
{
    Extremes r { from, from, y[from], y[from] };
    for (uint64_t j = from + 1; j < to; ++j) {
        const double v = y[j];
        if (v > r.maxY) {
            r.maxY = v;
            r.maxAt = j;
        }
        if (v < r.minY) {
            r.minY = v;
            r.minAt = j;
        }
    }
    return r;
}

} // namespace

PlotEntity::PlotEntity(sor::SORParser&& p, MultiPlotter* chartOwner)
    : QObject(chartOwner)
    , parser(std::move(p))
    , fileName(fileNameOf(parser.path))
    , owner(chartOwner)
    , colourSeed(static_cast<uint32_t>(std::rand()))
{
    setObjectName(QStringLiteral("PlotEntity"));
    // The file name must be neither searched for placeholders nor read as markup.
    model.setToolTipTail(QStringLiteral("</td></tr><tr><td>📁</td><td>") + fileName.toHtmlEscaped()
        + QStringLiteral("</td></tr></table>"));
}

PlotEntity::~PlotEntity()
{
    if (owner) {
        const bool listed = owner->entities.contains(this);
        if (diagram && listed && owner->entities.size() == 1 && owner->chart.hasData)
            owner->chart.resetView();
    }
    // The diagram must not outlive the model it shows, whether or not the chart is still there.
    if (diagram) {
        if (auto* plane = diagram->coordinatePlane())
            plane->takeDiagram(diagram);
        delete diagram;
        diagram = nullptr;
    }
    model.reset(0);

    if (owner) {
        owner->entities.removeAll(this);
        owner->_createMinMaxDiagram();
        if (owner->entities.isEmpty()) {
            owner->chart.plane()->setRubberBandZoomingEnabled(false);
            owner->chart.hasData = false;
        }
        // A shorter range moves the view over the data: the others need their new visible parts.
        owner->_replotAll();
    }

    if (itemWidget && traceList) {
        QListWidgetItem* item = itemWidget->item;
        const QPointer<MultiPlotOverviewItemWidget> row = itemWidget;
        row->entity = nullptr;
        if (item) {
            traceList->list.setItemWidget(item, nullptr);
            delete traceList->list.takeItem(traceList->list.row(item));
        }
        // Detaching does not always dispose of the row widget.
        delete row.data();
    }
    // The readings were means over a set that has just lost a member.
    if (owner && traceList)
        traceList->showCursorInfo();
}

QString PlotEntity::fileNameOf(const std::wstring& path) { return QString::fromStdWString(analysis::fileNameOf(path)); }

QColor PlotEntity::generatedColour(uint32_t seed)
{
    const analysis::Rgb colour = analysis::generatedColour(seed);
    return QColor::fromRgb(colour.red, colour.green, colour.blue, 255);
}

void PlotEntity::setPen()
{
    if (itemWidget)
        itemWidget->updateSwatch();
    if (!diagram)
        return;
    if (!visible)
        diagram->setPenIfChanged(QPen(Qt::NoPen));
    else if (selected)
        diagram->setPenIfChanged(QPen(app()->selectedMultiGraphPenColour));
    else
        diagram->setPenIfChanged(QPen(generatedColour(colourSeed)));
}

void PlotEntity::plotIndexRange(
    unsigned first, unsigned last, const std::vector<double>& x, const std::vector<double>& y)
{
    const uint64_t total = parser.data.NumberOfPoints;
    const bool compress = total >= 1.2 * maxPoints;
    const uint64_t e = last >= first ? uint64_t(last) - first + 1 : 0;
    const uint64_t rows = compress ? std::min<uint64_t>(maxPoints, e) : y.size();
    const uint64_t nx = x.size();
    const uint64_t ny = y.size();
    {
        const QSignalBlocker blockDiagram(diagram);
        const QSignalBlocker blockModel(&model);
        model.reset(static_cast<int>(rows));
        uint64_t i = 0;
        if (last >= first && first < nx && first < ny) {
            const bool pairs = compress && rows != e;
            uint64_t m = first;
            double later = 0; // the second extreme of the current pair's window
            for (; i < rows; ++i) {
                const uint64_t k = (i + 1) * e;
                double value = y[m];
                if (pairs && i % 2 == 0) {
                    // Both rows of a pair take the same window, its two buckets: the even row the extreme that comes
                    // first, the odd row the other one.
                    const uint64_t to = std::min(first + (k + e) / rows, ny);
                    const Extremes w = extremes(y.data(), m, to);
                    const bool maxFirst = w.maxAt <= w.minAt;
                    value = maxFirst ? w.maxY : w.minY;
                    later = maxFirst ? w.minY : w.maxY;
                } else if (pairs) {
                    value = later;
                }
                // Points that are not numbers would break the chart's range arithmetic: the row stays blank.
                if (std::isfinite(x[m]) && std::isfinite(value))
                    model.setRow(
                        static_cast<int>(i), x[m], value, y[m], static_cast<uint32_t>(m), static_cast<double>(m));
                const uint64_t next = pairs ? first + k / rows : m + 1;
                if (next > last || next >= nx || next >= ny) {
                    ++i;
                    break;
                }
                m = next;
            }
        }
    }
    if (diagram) {
        diagram->setModel(&model);
        diagram->rowsRefilled();
    }
    setPen();
}
