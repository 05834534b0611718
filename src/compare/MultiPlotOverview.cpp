#include "compare/MultiPlotOverview.h"

#include "analysis/CursorReadings.h"
#include "compare/MultiPlotEventDisplay.h"
#include "compare/MultiPlotOverviewItemWidget.h"
#include "compare/MultiPlotter.h"
#include "compare/PlotEntity.h"
#include "core/Application.h"
#include "cursors/CursorReadout.h"
#include "plotter/ChartStyle.h"
#include "plotter/PlaneControl.h"
#include "plotter/PointRows.h"
#include "widgets/ReadoutNumber.h"
#include "widgets/TightGridLayout.h"

#include <QCheckBox>
#include <QResizeEvent>
#include <QSignalBlocker>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

MultiPlotOverview::MultiPlotOverview(MultiPlotEventDisplay* display, QWidget* parent)
    : GWidget(parent)
    , loadButton(tr("Load additional sor Files"), this)
    , plotsLabel(tr("  Plots"), this)
    , list(this)
    , eventDisplay(display)
{
    setObjectName(QStringLiteral("MultiPlotOverview"));
    loadButton.setObjectName(QStringLiteral("loadButton"));
    list.setObjectName(QStringLiteral("traceList"));
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(&loadButton, 0, 0);
    layout->addWidget(&plotsLabel, 1, 0);
    layout->addWidget(&list, 2, 0);

    // The panel lives apart from the list: the tab puts it below the event table.
    cursorInfoWidget = new QWidget();
    cursorInfoWidget->setObjectName(QStringLiteral("cursorInfoWidget"));
    cursorInfoWidget->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    ownedPanel = cursorInfoWidget;
    cursorInfoLayout = new TightGridLayout(cursorInfoWidget);
    cursorInfoLayout->setContentsMargins(0, 0, 0, 0);
    cursorInfoLayout->setSizeConstraint(QLayout::SetMinimumSize);
    cursorInfoLabel = new QLabel(cursorInfoWidget);
    cursorInfoLabel->setObjectName(QStringLiteral("cursorInfoLabel"));
    // Wrapped, the long readings do not push the chart aside.
    cursorInfoLabel->setWordWrap(true);
    individualBox = new QCheckBox(tr("Show individual cursor attenuation"), cursorInfoWidget);
    individualBox->setObjectName(QStringLiteral("individualBox"));
    individualBox->setToolTip(tr("The tool tip of the list items always shows the full cursor information"));
    cursorInfoLayout->addWidget(cursorInfoLabel, 0, 0);
    cursorInfoLayout->addWidget(individualBox, 1, 0);

    connect(&list, &QListWidget::itemSelectionChanged, this, &MultiPlotOverview::highlightPlot);
    connect(&list, &QListWidget::itemDoubleClicked, this, &MultiPlotOverview::changeItemColourSeed);
    connect(individualBox, &QCheckBox::stateChanged, this, &MultiPlotOverview::showCursorInfo);
    cursorInfoWidget->installEventFilter(this);
}

MultiPlotOverview::~MultiPlotOverview()
{
    // The list's own teardown must not reach the slots of a half-destroyed overview.
    disconnect(&list, nullptr, this, nullptr);
    delete ownedPanel.data();
}

void MultiPlotOverview::writeCursorRow(unsigned short cursor, double x)
{
    chart::setPointRow(cursorModel, cursor, x, 0.0, chart::cursorToolTip(x, 0.0, cursor), chart::CursorMarker, cursor);
}

void MultiPlotOverview::setUpCursors(MultiPlotter* c)
{
    chart = c;
    chart->cursorOwner = this;
    cursorDiagram = new KChart::Plotter();
    cursorDiagram->installEventFilter(chart);
    chart->chart.plane()->addDiagram(cursorDiagram);
    {
        const QSignalBlocker blockDiagram(cursorDiagram);
        const QSignalBlocker blockModel(&cursorModel);
        cursorModel.clear();
        cursorModel.setRowCount(2);
        cursorModel.setColumnCount(chart::pointColumnCount);
        writeCursorRow(0, 0);
        writeCursorRow(1, 0);
        cursorModel.setHeaderData(0, Qt::Horizontal, QStringLiteral("Cursor"), Qt::EditRole);
    }
    cursorDiagram->setModel(&cursorModel);
    cursorDiagram->setPen(QPen(Qt::NoPen));
    chart::setDiamondMarkers(cursorDiagram, false, 20, app()->cursorMarkerColour);
    connect(app(), &Application::CursorModeChanged, this, &MultiPlotOverview::showCursorInfo);
}

void MultiPlotOverview::setCursor(unsigned short cursor, double x)
{
    if (cursorsHidden || !chart || cursor > 1)
        return;
    const auto [left, right] = chart::visibleXRange(chart->chart.plane());
    // Also refuses a position that is not a number.
    if (!(x >= left && x <= right))
        return;
    writeCursorRow(cursor, x);
    showCursorInfo();
    chart->chart.update();
}

QPoint MultiPlotOverview::_getPos(unsigned int cursor) const
{
    if (!chart || cursor > 1)
        return QPoint();
    const int row = static_cast<int>(cursor);
    return chart::pixelOf(chart->chart.plane(), cursorModel.index(row, chart::XColumn).data().toDouble(),
        cursorModel.index(row, chart::YColumn).data().toDouble());
}

void MultiPlotOverview::showCursorInfo()
{
    if (!cursorsPlaced)
        return;
    const bool abMode = app()->cursorMode;
    const bool individual = individualBox->isChecked();
    // A row whose removal was requested no longer takes part.
    std::vector<PlotEntity*> taking;
    std::vector<sor::SORParser*> parsers;
    const QVector<PlotEntity*> traces = chart ? chart->entities : QVector<PlotEntity*>();
    for (PlotEntity* entity : traces) {
        if (entity->itemWidget && !entity->itemWidget->entity)
            continue;
        taking.push_back(entity);
        parsers.push_back(&entity->parser);
    }
    const analysis::ComparisonReadings r
        = analysis::comparisonReadings(parsers, cursorModel.index(0, chart::XColumn).data().toDouble(),
            cursorModel.index(1, chart::XColumn).data().toDouble(), abMode);

    for (size_t i = 0; i < taking.size(); ++i) {
        const analysis::ComparisonReadings::Trace& t = r.traces[i];
        QString shortText;
        QString toolTip;
        if (abMode) {
            toolTip = tr("\n\nCursor A: (%1 km / %2 dB)\n").arg(num(r.xA), num(t.yA))
                + tr("Cursor B: (%1 km / %2 dB)\n").arg(num(r.xB), num(t.yB))
                + tr("Cursor B-A: (%1 km / %2 dB)").arg(num(r.xB - r.xA), num(t.difference))
                + tr("&nbsp;Δx(B-A)/Δy(B-A): %1 dB/km").arg(num(t.perKm));
            if (individual)
                shortText = tr("\nCursor B-A: %1 dB").arg(num(t.difference));
        } else {
            toolTip = tr("\n\nSegment between cursors:\n") + tr(" Length: %1 km\n").arg(num(r.length))
                + tr("  from: %1 km (%2 dB)\n").arg(num(r.xA), num(t.yA))
                + tr("  to: %1 km (%2 dB)\n").arg(num(r.xB), num(t.yB))
                + tr(" Attenuation: %1 dB (%2 dB/km)").arg(num(t.difference), num(t.perKm));
            if (individual)
                shortText = tr("\nΔCurs.: %2 dB\n(%3 dB/km)").arg(num(t.difference), num(t.perKm));
        }
        if (taking[i]->itemWidget)
            taking[i]->itemWidget->setCursorText(shortText, toolTip);
    }
    cursorInfoLabel->setText(CursorReadout::comparisonMeans(r, abMode));
    fitCursorPanel();
}

void MultiPlotOverview::fitCursorPanel()
{
    // The wrapped readings need the height of their actual width, which the label's size hint does not know.
    const int width = cursorInfoWidget->width();
    cursorInfoLabel->setMinimumHeight(width > 0 ? std::max(0, cursorInfoLabel->heightForWidth(width)) : 0);
    cursorInfoWidget->setFixedHeight(cursorInfoWidget->sizeHint().height());
}

bool MultiPlotOverview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cursorInfoWidget && event->type() == QEvent::Resize
        && static_cast<QResizeEvent*>(event)->oldSize().width() != cursorInfoWidget->width())
        fitCursorPanel();
    return GWidget::eventFilter(watched, event);
}

void MultiPlotOverview::highlightPlot()
{
    const auto rowOf
        = [this](QListWidgetItem* item) { return qobject_cast<MultiPlotOverviewItemWidget*>(list.itemWidget(item)); };
    for (int i = 0; i < list.count(); ++i) {
        auto* row = rowOf(list.item(i));
        if (row && row->entity && row->entity->owner && row->entity->selected) {
            row->entity->selected = false;
            row->entity->setPen();
        }
    }
    const auto selection = list.selectedItems();
    for (QListWidgetItem* item : selection) {
        auto* row = rowOf(item);
        if (row && row->entity && row->entity->owner && !row->entity->selected) {
            row->entity->selected = true;
            row->entity->setPen();
        }
    }
    if (eventDisplay)
        eventDisplay->listEvents(list.currentItem() ? rowOf(list.currentItem()) : nullptr);
}

void MultiPlotOverview::changeItemColourSeed(QListWidgetItem* item)
{
    auto* row = item ? qobject_cast<MultiPlotOverviewItemWidget*>(list.itemWidget(item)) : nullptr;
    if (!row || !row->entity)
        return;
    row->entity->colourSeed = static_cast<uint32_t>(std::rand());
    list.clearSelection();
    // Without a selection to clear, no selection change re-applies the pen.
    row->entity->setPen();
}
