#include "events/OTDREvent.h"
#include "widgets/ReadoutNumber.h"

#include "analysis/EventTable.h"
#include "analysis/TextEncoding.h"
#include "core/Application.h"
#include "plotter/ChartStyle.h"
#include "plotter/Plotter.h"
#include "plotter/PointRows.h"
#include "sor/SORParser.h"

#include <QSignalBlocker>
#include <QTreeWidgetItem>

#include <KChartCartesianCoordinatePlane>
#include <KChartPlotter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int pulseMs = 500;
constexpr int highlightColumns = 20;
} // namespace

OTDREvent::OTDREvent(QObject* parent)
    : QObject(parent)
    , brightnessAnimation(this, "brightness", this)
    , markerSizeAnimation(this, "markerSize", this)
{
}

double OTDREvent::cumulativeLoss(const sor::SORParser& parser, size_t row)
{
    return analysis::cumulativeLoss(parser, row);
}

QTreeWidgetItem* OTDREvent::loadEvent(sor::SORParser* p, Plotter* chartOwner, sor::KeyEventData* e, bool adv)
{
    parser = p;
    plotter = chartOwner;
    keyEvent = e;
    advanced = adv;

    brightnessAnimation.setDuration(pulseMs);
    brightnessAnimation.setStartValue(1.0f);
    brightnessAnimation.setKeyValueAt(0.5, 0.5f);
    brightnessAnimation.setEndValue(1.0f);
    brightnessAnimation.setLoopCount(1);
    markerSizeAnimation.setDuration(pulseMs);
    markerSizeAnimation.setStartValue(1.0f);
    markerSizeAnimation.setKeyValueAt(0.5, 5.0f);
    markerSizeAnimation.setEndValue(1.0f);
    markerSizeAnimation.setLoopCount(1);

    // The row is the event's place in the file's list, whatever number the file gives it.
    const auto& list = parser->events.keyEvents;
    const size_t row = keyEvent >= list.data() && keyEvent < list.data() + list.size()
        ? static_cast<size_t>(keyEvent - list.data())
        : list.size();
    const double cumulative
        = cumulativeSums && row < cumulativeSums->size() ? (*cumulativeSums)[row] : cumulativeLoss(*parser, row);
    if (withMarker)
        createEventMarker();

    const QString type = QString::fromStdString(keyEvent->EventType);
    const auto cell
        = [this](double v) { return unmeasuredDash && !std::isfinite(v) ? QStringLiteral("\u2013") : num(v); };
    QStringList cells { QString::number(keyEvent->EventNr), QString::number(keyEvent->Distance * 1000, 'f', 3),
        cell(keyEvent->SpliceLoss), cell(keyEvent->Slope), cell(keyEvent->ReflectionLoss), cell(cumulative) };
    if (advanced) {
        cells << tr("%1 ns").arg(num(keyEvent->TimeOfTravel * 0.1)) << tr("%1 km").arg(num(keyEvent->EndOfPrevEvent))
              << tr("%1 km").arg(num(keyEvent->BeginOfCurrentEvent))
              << tr("%1 km").arg(num(keyEvent->EndOfCurrentEvent)) << tr("%1 km").arg(num(keyEvent->BeginOfNextEvent))
              << tr("%1 km").arg(num(keyEvent->PeakPointCurrent))
              << QString::fromStdString(analysis::fileText(*parser, keyEvent->Comment)) << type;
    }
    item = new QTreeWidgetItem(cells, 0);
    item->setToolTip(0, type);
    item->setData(0, Qt::DecorationRole, app()->getEventIcon(keyEvent->EventCode));
    return item;
}

void OTDREvent::createEventMarker()
{
    markerDiagram = new KChart::Plotter();
    markerDiagram->installEventFilter(plotter);
    plotter->chart.plane()->addDiagram(markerDiagram);

    const double x = keyEvent->Distance;
    const double y = parser->getYValue(x);
    const QString type = QString::fromStdString(keyEvent->EventType);
    {
        const QSignalBlocker blockModel(&markerModel);
        const QSignalBlocker blockDiagram(markerDiagram);
        markerModel.clear();
        markerModel.setRowCount(1);
        markerModel.setColumnCount(chart::markerColumnCount);
        // A position that is not a number cannot be drawn, and would break the chart's range.
        if (std::isfinite(x) && std::isfinite(y)) {
            const QString toolTip
                = QStringLiteral("<table><tr><td>X</td><td>%1 km</td></tr><tr><td>Y</td><td>%2 dB</td>"
                                 "</tr><tr><td>E</td><td>#%3</td></tr></table>\n")
                      .arg(num(x), num(y), QString::number(keyEvent->EventNr))
                + type;
            chart::setPointRow(markerModel, 0, x, y, toolTip, chart::EventMarker, keyEvent->EventNr);
        }
        markerModel.setData(markerModel.index(0, chart::MarkerIndexColumn), static_cast<uint>(plotter->events.size()),
            chart::MarkerIndexRole);
        plotter->events.push_back(this);
        markerModel.setHeaderData(0, Qt::Horizontal, type, Qt::EditRole);
    }
    markerDiagram->setModel(&markerModel);
    markerDiagram->setPen(QPen(Qt::NoPen));
    applyMarkerSize(1.0f);
}

void OTDREvent::applyMarkerSize(float size)
{
    if (markerDiagram)
        chart::setDiamondMarkers(markerDiagram, true, static_cast<int>(size * 10), app()->eventMarkerColour);
}

void OTDREvent::setMarkerSize(float size)
{
    markerSize = size;
    applyMarkerSize(size);
}

void OTDREvent::resetMarkerSize() { setMarkerSize(1.0f); }

void OTDREvent::setBrightness(float b)
{
    brightness = b;
    if (!item)
        return;
    const QColor base = app()->palette().color(QPalette::Active, QPalette::Base);
    const double luminance = 0.299 * base.redF() + 0.587 * base.greenF() + 0.114 * base.blueF();
    // A light row darkens while it pulses, a dark one brightens.
    const double factor = luminance <= 0.5 ? 1.0 / b : b;
    auto scaled = [factor](double c) { return std::clamp(c * factor, 0.0, 1.0); };
    const QBrush brush(QColor::fromRgbF(scaled(base.redF()), scaled(base.greenF()), scaled(base.blueF()), 1.0));
    for (int column = 0; column < highlightColumns; ++column) {
        item->setBackground(column, brush);
        for (int child = 0; child < item->childCount(); ++child)
            item->child(child)->setData(column, Qt::BackgroundRole, brush);
    }
}

void OTDREvent::resetBrightness() { setBrightness(1.0f); }
