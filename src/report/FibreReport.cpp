#include "report/FibreReport.h"

#include "analysis/FibreTable.h"
#include "analysis/TableNumbers.h"
#include "report/ComparisonReport.h"
#include "report/Composer.h"
#include "report/Sections.h"
#include "report/Table.h"
#include "report/VerdictSection.h"
#include "sor/SORParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

namespace report {

namespace {

    QString tr(const char* text) { return QObject::tr(text); }
    QString text(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }
    QString cell(const std::optional<double>& v) { return v ? text(analysis::fixed3(*v)) : QStringLiteral("\u2013"); }
    QString fileName(const std::string& path) { return QFileInfo(text(path)).fileName(); }

    // The screen's columns under shorter titles, so that a row of the paper's width keeps every cell whole.
    Table eventTable(const QString& caption)
    {
        return Table(caption,
            { { tr("#"), 4 }, { tr("km"), 7.5 }, { tr("Type"), 14.5, Qt::AlignLeft }, { tr("A\u2192B"), 8 },
                { tr("B\u2192A"), 8 }, { tr("Avg."), 7.5 }, { tr("Refl."), 8.5 }, { tr("Source"), 9, Qt::AlignLeft },
                { tr("Bend"), 33, Qt::AlignLeft } });
    }

    std::vector<Field> fileFields(const analysis::FibreSet& set, bool fromB)
    {
        std::vector<Field> fields;
        for (size_t k = 0; k < set.fibre.wavelengths.size(); ++k) {
            const int index = fromB ? set.fibre.wavelengths[k].ba : set.fibre.wavelengths[k].ab;
            const QString label = text(fromB ? analysis::directionBA : analysis::directionAB) + QLatin1Char(' ')
                + text(analysis::wavelengthName(set.analysis.wavelengths[k]));
            if (index < 0) {
                fields.push_back({ label, QStringLiteral("\u2013") });
                continue;
            }
            const analysis::FibreFile& f = set.files[size_t(index)];
            QString value = fileName(f.path);
            if (const auto& p = set.parsers[size_t(index)]) {
                value += QLatin1Char('\n') + fieldText(p->fxd.Date);
                if (!f.instrument.empty())
                    value += QStringLiteral(", ") + text(f.instrument);
            }
            fields.push_back({ label, value });
        }
        return fields;
    }

} // namespace

FibreInput fibreInput(std::shared_ptr<const analysis::FibreSet> fibre, const analysis::Thresholds& thresholds,
    const Style& style, const QColor& colourAB, const QColor& colourBA)
{
    FibreInput in;
    in.verdict = analysis::evaluateFibre(fibre->analysis, thresholds);
    in.thresholds = thresholds;
    in.style = style;
    in.colourAB = colourAB;
    in.colourBA = colourBA;
    for (size_t k = 0; k < fibre->analysis.wavelengths.size(); ++k) {
        const auto& w = fibre->analysis.wavelengths[k];
        in.tracesAB.push_back(fibre->parser(k, false));
        std::shared_ptr<sor::SORParser> b = fibre->parser(k, true);
        if (b && w.mirrorKm)
            b = std::make_shared<sor::SORParser>(analysis::mirroredParser(*b, *w.mirrorKm));
        in.tracesBA.push_back(std::move(b));
    }
    in.fibre = std::move(fibre);
    return in;
}

void composeFibre(Composer& composer, const FibreInput& in)
{
    const analysis::FibreSet& set = *in.fibre;
    const analysis::FibreAnalysis& a = set.analysis;
    const QString id = a.fibreId.empty() ? tr("Fibre") : text(a.fibreId);
    composer.heading(tr("Fibre %1").arg(id));
    composer.section([&](const Sheet& sheet, double top) {
        QString subtitle = text(a.locationA) + QStringLiteral(" \u2192 ") + text(a.locationB);
        if (!a.cableId.empty())
            subtitle += tr(", cable %1").arg(text(a.cableId));
        double h = sections::heading(sheet, top, tr("Fibre %1").arg(id), subtitle);
        h += sections::fields(sheet, top + h, fileFields(set, false), fileFields(set, true));
        return h;
    });
    for (size_t k = 0; k < a.wavelengths.size(); ++k) {
        const analysis::WavelengthAnalysis& w = a.wavelengths[k];
        const QString name = text(analysis::wavelengthName(w));
        std::vector<ComparisonTrace> traces;
        if (in.tracesAB[k])
            traces.push_back({ in.tracesAB[k].get(),
                text(analysis::directionAB) + QLatin1Char(' ') + fileName(w.fileAB), in.colourAB, true });
        if (in.tracesBA[k])
            traces.push_back({ in.tracesBA[k].get(),
                text(analysis::directionBA) + QLatin1Char(' ') + fileName(w.fileBA), in.colourBA, true });
        composer.section([traces, &in, name](const Sheet& sheet, double top) {
            double h = sections::heading(sheet, top, name, tr("Both ends on A's distance axis, B\u2192A mirrored"));
            h += sections::chart(
                sheet, top + h, in.style,
                [&](ReportChart& chart) {
                    for (const ComparisonTrace& t : traces)
                        chart.addTrace(*t.parser, t.colour);
                },
                comparisonTraceRows);
            h += sheet.mm(1.5);
            return h + traceLegend(sheet, top + h, traces);
        });
        std::vector<Field> left, right;
        const auto summary = analysis::fibreSummary(w);
        for (size_t i = 0; i < summary.size(); ++i)
            (i < 2 ? left : right).push_back({ tr(summary[i].first.c_str()), text(summary[i].second) });
        composer.section([left, right](const Sheet& sheet, double top) {
            return sheet.mm(2) + sections::fields(sheet, top + sheet.mm(2), left, right);
        });
        std::vector<QStringList> rows;
        for (const auto& r : analysis::fibreTable(a, k, in.verdict, in.thresholds)) {
            QStringList cells;
            for (const auto& c : r.cells)
                cells << text(c);
            // The unit is the caption's: the bend's cell keeps room for both wavelengths.
            cells.last().replace(QStringLiteral(" dB:"), QStringLiteral(":"));
            rows.push_back(cells);
        }
        const auto table = std::make_shared<Table>(
            eventTable(tr("Events, %1, averaged over both ends (losses and reflectance in dB)").arg(name)));
        composer.table(
            [table](const Sheet& sheet, double top, bool continued) { return table->header(sheet, top, continued); },
            [table, rows](
                const Sheet& sheet, double top, int row) { return table->row(sheet, top, row, rows[size_t(row)]); },
            int(rows.size()));
        if (!w.warnings.empty()) {
            QStringList warnings;
            for (const auto& warning : w.warnings)
                warnings << text(warning);
            composer.section([warnings](const Sheet& sheet, double top) {
                return sections::lines(sheet, top, tr("Warnings"), warnings);
            });
        }
    }
    composer.section([&](const Sheet& sheet, double top) {
        QStringList reasons;
        for (const auto& reason : in.verdict.reasons)
            reasons << text(reason);
        if (reasons.isEmpty())
            reasons << tr("Every value within its limit.");
        double h = sections::lines(sheet, top, tr("Verdict: %1").arg(tr(analysis::outcomeText(in.verdict.outcome))),
            reasons, outcomeColour(in.verdict.outcome));
        QStringList limits;
        for (const auto& w : a.wavelengths)
            limits << thresholdTexts(in.thresholds, w.wavelength.value_or(analysis::unknown));
        limits.removeDuplicates();
        if (in.thresholds.maxBendDelta)
            limits << tr("bend: longer wavelength's loss \u2264 shorter's + %1 dB")
                          .arg(text(analysis::fixed3(*in.thresholds.maxBendDelta)));
        h += sections::lines(sheet, top + h, tr("Thresholds"), limits);
        return h;
    });
}

QStringList fibreCableRow(const analysis::FibreRow& r)
{
    return { r.fibreId.empty() ? QStringLiteral("\u2013") : text(r.fibreId),
        r.wavelength ? text(analysis::number(*r.wavelength)) : QStringLiteral("\u2013"),
        tr(analysis::outcomeText(r.outcome)), cell(r.lengthKm), cell(r.totalLoss), cell(r.attenuation),
        cell(r.splice.value), cell(r.connector.value), cell(r.reflectance.value), QString::number(r.bends.size()) };
}

void composeFibreCable(Composer& composer, const FibreCableInput& in)
{
    const QString name = QFileInfo(in.folder).fileName();
    composer.heading(tr("Cable %1, fibre by fibre").arg(name));
    composer.section([&](const Sheet& sheet, double top) {
        QString subtitle = in.folder;
        if (!in.filter.isEmpty())
            subtitle += tr(", filtered by \u201c%1\u201d").arg(in.filter);
        double h = sections::heading(sheet, top, tr("Cable %1, fibre by fibre").arg(name), subtitle);
        if (!in.counts.isEmpty())
            h += sections::lines(sheet, top + h, in.counts, {});
        return h;
    });
    const auto table = std::make_shared<Table>(
        tr("Fibres (%1 rows; span in km, losses in dB, attenuation in dB/km)").arg(in.rows.size()),
        std::vector<Column> { { tr("Fibre"), 22, Qt::AlignLeft }, { tr("\u03bb nm"), 8 },
            { tr("Verdict"), 12, Qt::AlignLeft }, { tr("Span"), 9 }, { tr("Loss"), 9 }, { tr("Att."), 9 },
            { tr("Splice"), 9 }, { tr("Conn."), 9 }, { tr("Refl."), 9 }, { tr("Bends"), 7 } });
    std::vector<QStringList> rows;
    for (const auto& r : in.rows)
        rows.push_back(fibreCableRow(r));
    composer.table(
        [table](const Sheet& sheet, double top, bool continued) { return table->header(sheet, top, continued); },
        [table, rows](
            const Sheet& sheet, double top, int row) { return table->row(sheet, top, row, rows[size_t(row)]); },
        int(rows.size()));
    QStringList reasons;
    for (const auto& r : in.rows)
        for (const auto& reason : r.reasons)
            reasons << text(r.fibreId) + QStringLiteral(": ") + text(reason);
    if (!reasons.isEmpty()) {
        composer.section([reasons](const Sheet& sheet, double top) {
            return sheet.mm(2) + sections::lines(sheet, top + sheet.mm(2), tr("Reasons"), reasons);
        });
    }
    for (const QStringList& paths : in.fibrePaths) {
        if (composer.cancelled())
            return;
        std::vector<std::string> native;
        for (const QString& p : paths)
            native.push_back(QFile::encodeName(p).toStdString());
        const auto set = std::make_shared<analysis::FibreSet>(analysis::readFibreSet(native, in.thresholds));
        composer.pageBreak();
        const FibreInput fibre = fibreInput(set, in.thresholds, in.style, in.colourAB, in.colourBA);
        composeFibre(composer, fibre);
    }
}

} // namespace report
