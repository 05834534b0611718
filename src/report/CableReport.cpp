#include "report/CableReport.h"

#include "analysis/EventEditing.h"
#include "analysis/OwnAnalysis.h"
#include "analysis/SummaryTable.h"
#include "analysis/Verdict.h"
#include "analysis/WidePath.h"
#include "report/Composer.h"
#include "report/Sections.h"
#include "report/Table.h"
#include "report/TraceReport.h"
#include "report/VerdictSection.h"
#include "sor/SORParser.h"
#include "widgets/ReadoutNumber.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QtConcurrent>

namespace report {

namespace {

    QString tr(const char* text) { return QObject::tr(text); }

    using analysis::Column;
    // The table's columns that fit a portrait page, fitted to their contents: the numbers whole, the texts
    // wrapped into what is left, shared as the widths say; the units are told above the table. The rest are on
    // each file's page.
    const std::vector<std::pair<Column, report::Column>>& columns()
    {
        static const std::vector<std::pair<Column, report::Column>> list {
            { Column::File, { tr("File"), 45, Qt::AlignLeft, Qt::ElideMiddle, true } },
            { Column::FibreId, { tr("Fibre"), 18, Qt::AlignLeft, Qt::ElideRight, true } },
            { Column::Wavelength, { tr("λ"), 10 } },
            { Column::FibreLength, { tr("Length"), 14 } },
            { Column::TotalLoss, { tr("Loss"), 14 } },
            { Column::Attenuation, { tr("Att."), 12 } },
            { Column::Orl, { tr("ORL"), 14 } },
            { Column::WorstSplice, { tr("Splice"), 12 } },
            { Column::WorstConnector, { tr("Conn."), 12 } },
            { Column::WorstReflectance, { tr("Refl."), 15 } },
            { Column::Verdict, { tr("Verdict"), 14, Qt::AlignLeft } },
        };
        return list;
    }

    Table cableTable(int count)
    {
        std::vector<report::Column> heads;
        for (const auto& column : columns())
            heads.push_back(column.second);
        return Table(tr("Files (%1)").arg(count), std::move(heads));
    }

    std::shared_ptr<sor::SORParser> read(const QString& path, bool trace)
    {
        auto parser = std::make_shared<sor::SORParser>(
            analysis::widePath(QFile::encodeName(path).toStdString()), sor::nowhere(), sor::nowhere());
        if (parser->fileParsed && trace)
            parser->getXY();
        return parser;
    }

} // namespace

CableFiles::CableFiles(QStringList p, int a)
    : paths(std::move(p))
    , ahead(std::max(a, 1))
{
}

CableFiles::~CableFiles()
{
    for (auto& entry : reads)
        entry.second.waitForFinished();
}

void CableFiles::readAhead(int from)
{
    for (int i = from; i < std::min(from + ahead, int(paths.size())); ++i) {
        if (reads.count(i) == 0)
            reads[i] = QtConcurrent::run([path = paths[i], t = trace] { return read(path, t); });
    }
}

std::shared_ptr<sor::SORParser> CableFiles::take(int index, bool withTrace)
{
    if (index < 0 || index >= paths.size())
        return nullptr;
    if (withTrace != trace || (!reads.empty() && reads.begin()->first > index)) {
        for (auto& entry : reads)
            entry.second.waitForFinished();
        reads.clear();
        trace = withTrace;
    }
    // Reads of files passed over are dropped.
    while (!reads.empty() && reads.begin()->first < index) {
        reads.begin()->second.waitForFinished();
        reads.erase(reads.begin());
    }
    readAhead(index);
    auto future = reads[index];
    reads.erase(index);
    readAhead(index + 1);
    return future.result();
}

QStringList cableRow(const analysis::FileSummary& file, const analysis::Thresholds& thresholds)
{
    const analysis::Verdict verdict = analysis::evaluate(file, thresholds);
    QStringList cells;
    for (const auto& column : columns())
        cells << QString::fromStdString(analysis::cellText(file, verdict, column.first));
    return cells;
}

void composeCable(Composer& composer, const CableInput& in, CableFiles& files)
{
    const QString name = QFileInfo(in.folder).fileName().isEmpty() ? in.folder : QFileInfo(in.folder).fileName();
    composer.heading(tr("Cable report: %1").arg(name));
    analysis::Counts counts;
    for (const auto& file : in.files)
        counts.add(analysis::evaluate(file, in.thresholds).outcome);
    composer.section([&](const Sheet& sheet, double top) {
        QString subtitle = QDir::toNativeSeparators(in.folder);
        if (!in.filter.isEmpty())
            subtitle += QStringLiteral("\n") + tr("Files matching: %1").arg(in.filter);
        double h = sections::heading(sheet, top, tr("Cable report: %1").arg(name), subtitle);
        h += sheet.mm(2);
        h += sections::lines(sheet, top + h, QString::fromStdString(analysis::countsText(counts)),
            { tr("Thresholds: %1").arg(thresholdTexts(in.thresholds).join(QStringLiteral("; "))),
                tr("λ in nm, length in km, loss, ORL and the worst splice, connector and reflectance in dB, "
                   "attenuation in dB/km") });
        return h;
    });

    std::vector<QStringList> rows;
    rows.reserve(in.files.size());
    for (const auto& file : in.files)
        rows.push_back(cableRow(file, in.thresholds));
    Table table = cableTable(int(rows.size()));
    table.fitToContents(&rows);
    composer.table([&](const Sheet& sheet, double top, bool continued) { return table.header(sheet, top, continued); },
        [&](const Sheet& sheet, double top, int row) { return table.row(sheet, top, row, rows[size_t(row)]); },
        int(rows.size()));

    for (size_t i = 0; i < in.files.size() && !composer.cancelled(); ++i) {
        composer.pageBreak();
        const analysis::FileSummary& summary = in.files[i];
        const QString fileName = QString::fromStdString(summary.file);
        const auto parser = files.take(int(i), composer.painting());
        if (parser && parser->fileParsed) {
            TraceInput trace;
            trace.parser = parser.get();
            trace.fileName = fileName;
            trace.thresholds = in.thresholds;
            trace.style = in.style;
            // A page of a cable judged by its own analysis shows those events, as the table judged them.
            std::unique_ptr<sor::SORParser> shown;
            if (in.ownAnalysis) {
                const analysis::OwnAnalysis own = analysis::analyse(*parser, in.thresholds.detection);
                shown = std::make_unique<sor::SORParser>(analysis::withOwnEvents(*parser, own));
                trace.parser = shown.get();
                trace.eventSource = ownAnalysisText(own.thresholds);
                for (const auto& e : own.events)
                    trace.eventNotes << tr(analysis::editName(e.edit));
            }
            composeTrace(composer, trace);
            continue;
        }
        // Read once for the table, the file may have changed or gone since.
        const QString reason = QString::fromStdString(parser ? parser->errorMessage : summary.errorText);
        composer.heading(tr("Trace report: %1").arg(fileName));
        composer.section([&](const Sheet& sheet, double top) {
            double h = sections::heading(sheet, top, fileName, QDir::toNativeSeparators(in.paths.value(int(i))));
            h += sheet.mm(2);
            return h
                + sections::lines(sheet, top + h, tr("Verdict: Error"), { tr("Could not be read: %1").arg(reason) },
                    outcomeColour(analysis::Outcome::Error));
        });
    }
}

} // namespace report
