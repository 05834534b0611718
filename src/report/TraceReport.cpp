#include "report/TraceReport.h"

#include "analysis/ChecksumDiagnosis.h"
#include "analysis/CursorReadings.h"
#include "analysis/EventTable.h"
#include "analysis/FileSummary.h"
#include "analysis/TextEncoding.h"
#include "cursors/CursorReadout.h"
#include "report/Composer.h"
#include "report/Table.h"
#include "report/VerdictSection.h"
#include "sor/SORParser.h"
#include "widgets/ReadoutNumber.h"

#include <QFileInfo>
#include <QObject>

#include <cmath>

namespace report {

namespace {

    QString tr(const char* text) { return QObject::tr(text); }

    Table eventTable(int count)
    {
        return Table(tr("Events (%1)").arg(count),
            { { tr("#"), 5 }, { tr("Type"), 34, Qt::AlignLeft }, { tr("Pos [m]"), 11 }, { tr("IL [dB]"), 8 },
                { tr("Refl. [dB]"), 9 }, { tr("Att. [dB/km]"), 11 }, { tr("Cumul. IL [dB]"), 13 } });
    }

    Table summaryTable()
    {
        return Table(tr("Summary"),
            { { tr("Length [km]"), 1 }, { tr("IL [dB]"), 1 }, { tr("ORL [dB]"), 1 }, { tr("Att. [dB/km]"), 1 } });
    }

} // namespace

std::vector<Field> measurementFields(const sor::SORParser& p)
{
    const auto& fxd = p.fxd;
    const auto& gen = p.gen;
    const auto text = [&p](const std::string& bytes) { return fieldText(analysis::fileText(p, bytes)); };
    // As the configuration panel shows it: the Fxd value when both blocks agree, else the Gen one, marked.
    const QString wavelength = fxd.Wavelength == static_cast<double>(gen.Wavelength)
        ? tr("%1 nm").arg(num(fxd.Wavelength))
        : tr("%1 nm (?)").arg(gen.Wavelength);
    return {
        { tr("Measured"), fieldText(fxd.Date) },
        { tr("Operator"), text(gen.Operator) },
        { tr("Cable ID"), text(gen.CableID) },
        { tr("Fibre ID"), text(gen.FiberID) },
        { tr("Location A"), text(gen.LocationA) },
        { tr("Location B"), text(gen.LocationB) },
        { tr("Wavelength"), wavelength },
        { tr("Pulse width"), tr("%1 ns").arg(fxd.PulseWidth) },
        { tr("Range"), tr("%1 km").arg(num(fxd.Range)) },
    };
}

std::vector<Field> instrumentFields(const sor::SORParser& p)
{
    const auto& sup = p.sup;
    const auto& fxd = p.fxd;
    const auto text = [&p](const std::string& bytes) { return fieldText(analysis::fileText(p, bytes)); };
    QString module = text(sup.ModuleName);
    const QString moduleSerial = text(sup.Module_SN);
    if (moduleSerial != fieldText(std::string()))
        module += tr(" (S/N %1)").arg(moduleSerial);
    return {
        { tr("Supplier"), text(sup.SupplierName) },
        { tr("Mainframe"), text(sup.OTDR_Name) },
        { tr("Serial number"), text(sup.OTDR_SN) },
        { tr("Module"), module },
        { tr("Group index"), num(fxd.IOR) },
        { tr("Backscatter coefficient"), tr("%1 dB").arg(num(fxd.BackscatterCoef_dB)) },
        { tr("Averages"), QString::number(fxd.NumberOfAverages) },
        { tr("Checksum"), checksumText(p) },
    };
}

QString checksumText(const sor::SORParser& p)
{
    // Most vendors do not follow the standard's checksum: the report says whose convention the stored value follows.
    const analysis::ChecksumDiagnosis diagnosis = analysis::diagnoseChecksum(p);
    const QString text
        = tr("0x%1: %2").arg(p.storedCrc, 4, 16, QLatin1Char('0')).arg(QObject::tr(diagnosis.text.c_str()));
    return diagnosis.suspect ? tr("Warning: %1").arg(text) : text;
}

QString ownAnalysisText(const analysis::DetectionThresholds& t)
{
    return tr("Own analysis: splice loss %1 dB, reflectance %2 dB, end of fibre %3 dB")
        .arg(num(t.spliceLoss), num(t.reflectance), num(t.endOfFibre));
}

std::vector<QStringList> eventRows(const sor::SORParser& p, const QStringList& notes)
{
    const auto& events = p.events.keyEvents;
    const std::vector<double> sums = analysis::cumulativeLosses(p);
    const bool own = !notes.isEmpty();
    const auto cell = [own](double v) { return own && !std::isfinite(v) ? QStringLiteral("\u2013") : num(v); };
    std::vector<QStringList> rows;
    rows.reserve(events.size());
    for (size_t row = 0; row < events.size(); ++row) {
        const auto& e = events[row];
        QString type = QString::fromStdString(e.EventType);
        if (row < static_cast<size_t>(notes.size()) && !notes[static_cast<int>(row)].isEmpty())
            type += QObject::tr(" \u2013 %1 by hand").arg(notes[static_cast<int>(row)]);
        rows.push_back({ QString::number(e.EventNr), type, QString::number(e.Distance * 1000, 'f', 3),
            cell(e.SpliceLoss), cell(e.ReflectionLoss), cell(e.Slope), cell(sums[row]) });
    }
    return rows;
}

QStringList summaryRow(const analysis::FileSummary& s)
{
    // The cable table's values, as the tab's totals show them too.
    QStringList cells;
    for (const std::string& cell : analysis::fibreTotals(s))
        cells << QString::fromStdString(cell);
    return cells;
}

void composeTrace(Composer& composer, const TraceInput& in)
{
    sor::SORParser& parser = *in.parser;
    composer.heading(tr("Trace report: %1").arg(in.fileName));
    composer.section([&](const Sheet& sheet, double top) {
        double h = sections::heading(
            sheet, top, in.fileName, QFileInfo(QString::fromStdWString(parser.path)).absoluteFilePath());
        h += sheet.mm(3);
        h += sections::fields(sheet, top + h, measurementFields(parser), instrumentFields(parser));
        return h;
    });
    composer.section([&](const Sheet& sheet, double top) {
        return sections::chart(sheet, top, in.style, [&](ReportChart& chart) {
            chart.addTrace(parser, in.style.graphColour);
            chart.addEventMarkers(parser);
            chart.setView(in.view);
        });
    });
    const analysis::FileSummary judged = analysis::summarize(parser, in.fileName.toStdString(), in.thresholds);
    const Table summary = summaryTable();
    const QStringList totals = summaryRow(judged);
    composer.section([&](const Sheet& sheet, double top) {
        const double h = summary.header(sheet, top, false);
        return h + summary.row(sheet, top + h, 0, totals);
    });
    composer.section(
        [&](const Sheet& sheet, double top) { return sections::verdict(sheet, top, judged, in.thresholds); });
    const std::vector<QStringList> rows = eventRows(parser, in.eventNotes);
    if (!in.eventSource.isEmpty()) {
        composer.section([&](const Sheet& sheet, double top) {
            return sections::lines(sheet, top, tr("Events"), { in.eventSource });
        });
    }
    const Table events = eventTable(static_cast<int>(rows.size()));
    composer.table([&](const Sheet& sheet, double top, bool continued) { return events.header(sheet, top, continued); },
        [&](const Sheet& sheet, double top, int row) { return events.row(sheet, top, row, rows[size_t(row)]); },
        static_cast<int>(rows.size()));
    if (in.view.cursorsShown) {
        const QString readout = CursorReadout::singleTrace(
            analysis::cursorReadings(parser, in.view.cursorA, in.view.cursorB), in.style.cursorMode);
        composer.section(
            [&](const Sheet& sheet, double top) { return sections::richText(sheet, top, tr("Cursors"), readout); });
    }
}

} // namespace report
