#include "viewer/DataViewer.h"

#include "analysis/ChecksumDiagnosis.h"
#include "analysis/TextEncoding.h"
#include "sor/SORParser.h"
#include "widgets/CTreeWidget.h"

#include <QEvent>
#include <QStyle>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <cstring>

namespace {

constexpr int labelColumnWidth = 250;

// "2.0.0" for revision 200.
QString revisionText(unsigned revision)
{
    return QStringLiteral("%1.%2.%3").arg(revision / 100).arg((revision % 100) / 10).arg(revision % 10);
}

QString decoded(const std::string& value)
{
    return QString::fromUtf8(value.c_str(), static_cast<int>(std::strlen(value.c_str())));
}

} // namespace

DataViewer::DataViewer(QWidget* parent)
    : CTreeWidget(parent)
{
    setObjectName(QStringLiteral("DataViewer"));
    auto* headerView = new CHeaderView(Qt::Horizontal, this);
    headerView->setSectionsMovable(true);
    headerView->setStretchLastSection(true);
    headerView->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHeader(headerView);
    tavixInfoItem.setText(0, tr("TAVIX Info"));
    configurationItem.setText(0, tr("Configuration"));
    mapItem.setText(0, tr(".sor Section: Map"));
    genItem.setText(0, tr(".sor Section: Gen"));
    supItem.setText(0, tr(".sor Section: Sup"));
    fxdItem.setText(0, tr(".sor Section: Fxd"));
    eventsItem.setText(0, tr(".sor Section: Events"));
    dataItem.setText(0, tr(".sor Section: Data"));
    setColumnCount(2);
    setHeaderHidden(true);
    setColumnWidth(0, labelColumnWidth);
}

DataViewer::~DataViewer()
{
    // The eight items are members: take them out before the tree deletes its items.
    for (QTreeWidgetItem* item :
        { &tavixInfoItem, &configurationItem, &mapItem, &genItem, &supItem, &fxdItem, &eventsItem, &dataItem }) {
        const int index = indexOfTopLevelItem(item);
        if (index >= 0)
            takeTopLevelItem(index);
    }
}

void DataViewer::attach(QTreeWidgetItem& item, bool expanded)
{
    addTopLevelItem(&item);
    item.setExpanded(expanded);
}

QTreeWidgetItem* DataViewer::addRow(QTreeWidgetItem& item, const QString& label, const QString& value)
{
    return new QTreeWidgetItem(&item, QStringList { label, value });
}

void DataViewer::addString(QTreeWidgetItem& item, std::string& value, QString label)
{
    const QString text = decoded(parser ? analysis::fileText(*parser, value) : value);
    if (!text.trimmed().isEmpty())
        addRow(item, label, text);
}

void DataViewer::_loadTavixInfo()
{
    attach(tavixInfoItem, true);
    addString(tavixInfoItem, parser->fxd.Date, tr("Date"));
    addString(tavixInfoItem, parser->sup.SupplierName, tr("Supplier Name"));
    addString(tavixInfoItem, parser->sup.OTDR_Name, tr("OTDR Module"));
    addString(tavixInfoItem, parser->sup.OTDR_SN, tr("Serial Number"));
    addString(tavixInfoItem, parser->sup.SW_Vers, tr("CPU FW"));
    addString(tavixInfoItem, parser->sup.ModuleName, tr("FPGA FW"));
    const QString other = QString::fromStdString(analysis::fileText(*parser, parser->sup.Other));
    if (other.startsWith(QLatin1String("Last Calibration Date:"))) {
        std::string date = QString(other).remove(QStringLiteral("Last Calibration Date: ")).toStdString();
        addString(tavixInfoItem, date, tr("Last Calibration Date"));
    }
    // Most vendors do not follow the standard's checksum: say whose convention the stored value follows.
    const auto diagnosis = analysis::diagnoseChecksum(*parser);
    auto* checksum = addRow(tavixInfoItem, tr("Checksum"), tr(diagnosis.text.c_str()));
    if (diagnosis.suspect)
        checksum->setIcon(1, style()->standardIcon(QStyle::SP_MessageBoxWarning));
}

void DataViewer::_loadConfiguration()
{
    attach(configurationItem, true);
    const auto& fxd = parser->fxd;
    const auto& gen = parser->gen;
    if (fxd.Wavelength == static_cast<double>(gen.Wavelength)) {
        addRow(configurationItem, tr("Wavelength"), tr("%1 nm").arg(fxd.Wavelength));
    } else {
        auto* row = addRow(configurationItem, tr("Wavelength"), tr("%1 nm (?)").arg(gen.Wavelength));
        QString tip
            = tr("Internal mismatch!\nFxd says %1 nm but Gen says %2 nm.").arg(fxd.Wavelength).arg(gen.Wavelength);
        if (fxd.Wavelength * 10 == static_cast<double>(gen.Wavelength))
            tip += tr("\nThe ODTR manufacturer probably fills out the wavelength field in Fxd wrong.\n(.sor standard "
                      "demands Fxd.wavelength to be in 0.1·nm and Gen.wavelength to be in 1·nm.)");
        row->setToolTip(1, tip);
    }
    addRow(configurationItem, tr("Trace Length"), tr("%1 km").arg(fxd.Range));
    addRow(configurationItem, tr("Pulse Width"), tr("%1 ns").arg(fxd.PulseWidth));
    addRow(configurationItem, tr("Averaging Time"), tr("%1 s").arg(fxd.AveragingTime));
    std::string fibre = gen.FiberType_Raw >= 651 && gen.FiberType_Raw <= 655
        ? "ITU-T G." + std::to_string(gen.FiberType_Raw)
        : std::to_string(gen.FiberType_Raw);
    addString(configurationItem, fibre, tr("Fiber Type"));
    addRow(configurationItem, tr("Index of Refraction"), QStringLiteral("%1").arg(fxd.IOR));
    addRow(configurationItem, tr("Backscatter Coefficient"), tr("%1 dB").arg(fxd.BackscatterCoef_dB));
    addRow(configurationItem, tr("Launch Fiber"), tr("%1 m").arg(gen.UserOffsetDistance));
}

void DataViewer::_loadMap()
{
    attach(mapItem, false);
    const auto& map = parser->map;
    addRow(mapItem, tr("File Format Version"), revisionText(map.MapVersion));
    addRow(mapItem, tr("File Checksum"), QStringLiteral("%1").arg(parser->storedCrc));
    addRow(mapItem, tr("File Checksum Valid"), parser->crcValid ? tr("True") : tr("False"));
    addRow(mapItem, tr("Map Block Size"), tr("%1 Bytes").arg(map.NumberOfBytesMapBlock));
    auto* blocks = addRow(mapItem, tr("Number of Blocks"), QStringLiteral("%1").arg(map.NumberOfBlocks));
    const size_t entries
        = std::min({ map.BlockMap_Name.size(), map.BlockMap_Version.size(), map.BlockMap_NumberOfBytes.size() });
    for (size_t i = 0; i < entries; ++i)
        addRow(*blocks, QString::fromStdString(map.BlockMap_Name[i]),
            tr("Size: %1 Byte, Version: %2")
                .arg(QString::number(map.BlockMap_NumberOfBytes[i]), revisionText(map.BlockMap_Version[i])));
    blocks->setExpanded(false);
}

void DataViewer::_loadGen()
{
    attach(genItem, false);
    auto& gen = parser->gen;
    addString(genItem, gen.BuildCondition, tr("Build Condition"));
    addString(genItem, gen.CableCode, tr("Cable Code"));
    addString(genItem, gen.CableID, tr("Cable ID"));
    addString(genItem, gen.FiberID, tr("Fiber ID"));
    addString(genItem, gen.Comments, tr("Comments"));
    addString(genItem, gen.Operator, tr("Operator"));
    addString(genItem, gen.FiberType, tr("Fiber Type"));
    addString(genItem, gen.LocationA, tr("Location A"));
    addString(genItem, gen.LocationB, tr("Location B"));
    addRow(genItem, tr("User Offset Distance"), tr("%1 m").arg(gen.UserOffsetDistance));
    addRow(genItem, tr("Wavelength"), tr("%1 nm").arg(gen.Wavelength));
}

void DataViewer::_loadSup()
{
    attach(supItem, false);
    auto& sup = parser->sup;
    addString(supItem, sup.SW_Vers, tr("SW Version"));
    addString(supItem, sup.SupplierName, tr("Supplier Name"));
    addString(supItem, sup.ModuleName, tr("Module Name"));
    addString(supItem, sup.Module_SN, tr("Module Serial Number"));
    addString(supItem, sup.OTDR_Name, tr("OTDR Name"));
    addString(supItem, sup.OTDR_SN, tr("OTDR SN"));
    addString(supItem, sup.Other, tr("Other"));
}

void DataViewer::_loadFxd()
{
    attach(fxdItem, false);
    auto& fxd = parser->fxd;
    addString(fxdItem, fxd.Date, tr("Date"));
    addString(fxdItem, fxd.TraceTypeDescription, tr("Trace Type"));
    addRow(fxdItem, tr("Acquisition Offset Distance"), tr("%1 m").arg(fxd.AquOffsetDist * 0.1));
    addRow(fxdItem, tr("Range"), tr("%1 km").arg(fxd.Range));
    addRow(fxdItem, tr("Wavelength"), tr("%1 nm").arg(fxd.Wavelength));
    addRow(fxdItem, tr("Number of Pulse Width Entries"), QStringLiteral("%1").arg(fxd.NumberPulseWidthEntries));
    addRow(fxdItem, tr("Pulse Width"), tr("%1 ns").arg(fxd.PulseWidth));
    addRow(fxdItem, tr("Sample Spacing"), tr("%1 ps").arg(fxd.SampleSpacing * 0.01));
    addRow(fxdItem, tr("Resolution"), tr("%1 m").arg(fxd.SampleDistance));
    addRow(fxdItem, tr("Number of Data Points"), QStringLiteral("%1").arg(fxd.NumberOfDataPoints));
    addRow(fxdItem, tr("Index of Refraction"), QStringLiteral("%1").arg(fxd.IOR));
    addRow(fxdItem, tr("Backscatter Coefficient"), tr("%1 dB").arg(fxd.BackscatterCoef_dB));
    addRow(fxdItem, tr("Number of Averages"), QStringLiteral("%1").arg(fxd.NumberOfAverages));
    addRow(fxdItem, tr("Averaging Time"), tr("%1 s").arg(fxd.AveragingTime));
    addRow(fxdItem, tr("Acquisition Range Distance"), QStringLiteral("%1").arg(fxd.AquRangeDist));
    addRow(fxdItem, tr("Front Panel Offset"), QStringLiteral("%1").arg(fxd.FrontPanelOffset));
    addRow(fxdItem, tr("Noise Floor Level"), QStringLiteral("%1").arg(fxd.NoiseFloorLevel));
    addRow(fxdItem, tr("Noise Floor Scaling"), QStringLiteral("%1").arg(fxd.NoiseFloorScaling));
    addRow(fxdItem, tr("Power Offset First Point"), QStringLiteral("%1").arg(fxd.PowerOffsetFirstPoint));
    addRow(fxdItem, tr("Loss Threshold"), tr("%1 dB").arg(fxd.LossThreshold_dB));
    addRow(fxdItem, tr("Reflection Threshold"), tr("%1 dB").arg(fxd.ReflectionThreshold_dB));
    addRow(fxdItem, tr("EOT (End of Transmission) Threshold"), tr("%1 dB").arg(fxd.EOT_Threshold_dB));
    if (fxd.X1 != 0 || fxd.Y1 != 0 || fxd.X2 != 0 || fxd.Y2 != 0) {
        addRow(fxdItem, QStringLiteral("X1"), QStringLiteral("%1").arg(fxd.X1));
        addRow(fxdItem, QStringLiteral("Y1"), QStringLiteral("%1").arg(fxd.Y1));
        addRow(fxdItem, QStringLiteral("X2"), QStringLiteral("%1").arg(fxd.X2));
        addRow(fxdItem, QStringLiteral("Y2"), QStringLiteral("%1").arg(fxd.Y2));
    }
}

void DataViewer::_loadEvents()
{
    attach(eventsItem, false);
    const auto& events = parser->events;
    addRow(eventsItem, tr("Number of Events"), QStringLiteral("%1").arg(events.NumberOfEvents));
    addRow(eventsItem, tr("Fiber Start after"), tr("%1 km (in plot at 0)").arg(events.FiberStart));
    addRow(eventsItem, tr("Total Fiber Length"), tr("%1 km").arg(events.FiberLength));
    addRow(eventsItem, tr("Total Loss"), tr("%1 dB").arg(events.TotalLoss));
    addRow(eventsItem, tr("ORL"), tr("%1 dB").arg(events.ORL));
    if (events.ORL_Start_Raw != events.FiberStart_Raw || events.ORL_Length_Raw != events.FiberLength_Raw) {
        addRow(eventsItem, tr("ORL Start after"), tr("%1 km (in plot at 0)").arg(events.ORL_Start));
        addRow(eventsItem, tr("Total ORL Length"), tr("%1 km").arg(events.ORL_Length));
    }
}

void DataViewer::_loadData()
{
    attach(dataItem, false);
    const auto& data = parser->data;
    addRow(dataItem, tr("Number of Points"), QStringLiteral("%1").arg(data.NumberOfPoints));
    if (data.NumberOfTraces != 1)
        addRow(dataItem, tr("Number of Traces"), QStringLiteral("%1").arg(data.NumberOfTraces));
    addRow(dataItem, tr("Scaling Factor"), QStringLiteral("%1").arg(data.ScalingFactor));
}

void DataViewer::fitValueColumn()
{
    int labels = 0;
    int values = 0;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const QTreeWidgetItem* item = *it;
        int depth = 0;
        bool shown = !item->isHidden();
        for (const QTreeWidgetItem* up = item->parent(); up && shown; up = up->parent()) {
            shown = up->isExpanded() && !up->isHidden();
            ++depth;
        }
        // Section headings span both columns and need neither.
        if (!shown || item->isFirstColumnSpanned())
            continue;
        const int indent = (depth + (rootIsDecorated() ? 1 : 0)) * indentation();
        labels = std::max(labels, indent + sizeHintForIndex(indexFromItem(item, 0)).width());
        values = std::max(values, sizeHintForIndex(indexFromItem(item, 1)).width());
    }
    const int width = std::clamp(viewport()->width() - values, std::min(labels, labelColumnWidth), labelColumnWidth);
    if (width != columnWidth(0))
        setColumnWidth(0, width);
}

void DataViewer::updateGeometries()
{
    CTreeWidget::updateGeometries();
    // Runs after every change of rows, expansion or size; setting the width lays the header out again.
    if (fitting)
        return;
    fitting = true;
    fitValueColumn();
    fitting = false;
}

void DataViewer::changeEvent(QEvent* event)
{
    CTreeWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    const QBrush background = palette().brush(QPalette::AlternateBase);
    QFont big = font();
    big.setPointSize(static_cast<int>(big.pointSize() * 1.5));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        auto* item = topLevelItem(i);
        item->setBackground(0, background);
        item->setBackground(1, background);
        item->setFont(0, big);
        item->setFirstColumnSpanned(true);
    }
}
