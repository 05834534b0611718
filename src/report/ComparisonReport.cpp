#include "report/ComparisonReport.h"

#include "analysis/CursorReadings.h"
#include "analysis/FileSummary.h"
#include "cursors/CursorReadout.h"
#include "report/Composer.h"
#include "report/Sections.h"
#include "report/Table.h"
#include "sor/SORParser.h"
#include "widgets/ReadoutNumber.h"

#include <QObject>

#include <algorithm>
#include <cmath>

namespace report {

namespace {

    QString tr(const char* text) { return QObject::tr(text); }

    Table traceTable(bool cursors, int count)
    {
        std::vector<Column> columns { { tr("File"), 40, Qt::AlignLeft }, { tr("Wavel. [nm]"), 20 },
            { tr("Pulse [ns]"), 18 }, { tr("Length [km]"), 20 }, { tr("Loss [dB]"), 17 } };
        if (cursors)
            columns.insert(columns.end(), { { tr("A [dB]"), 16 }, { tr("B [dB]"), 16 }, { tr("B-A [dB]"), 17 } });
        return Table(tr("Traces (%1)").arg(count), std::move(columns));
    }

    // Swatches with the file names, as many to a line as fit.
    double legend(const Sheet& sheet, double top, const std::vector<ComparisonTrace>& traces)
    {
        const QFont font = sheet.font(8);
        const QFontMetricsF metrics = sheet.metrics(font);
        const double swatch = sheet.mm(8);
        const double gap = sheet.mm(2);
        const double columns = 3;
        const double cell = sheet.content.width() / columns;
        const double line = metrics.height() + sheet.mm(1);
        int index = 0;
        for (const ComparisonTrace& trace : traces) {
            if (!trace.visible)
                continue;
            const double x = sheet.content.left() + (index % int(columns)) * cell;
            const double y = top + (index / int(columns)) * line;
            if (sheet.painter) {
                QPainter& p = *sheet.painter;
                p.setPen(QPen(trace.colour, sheet.pt(1.5)));
                p.drawLine(QPointF(x, y + line / 2), QPointF(x + swatch, y + line / 2));
                const QString name = metrics.elidedText(trace.fileName, Qt::ElideMiddle, cell - swatch - 2 * gap);
                p.setFont(font);
                p.setPen(Qt::black);
                p.drawText(QRectF(x + swatch + gap, y, cell - swatch - 2 * gap, line),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
            }
            ++index;
        }
        return index == 0 ? 0 : std::ceil(index / columns) * line;
    }

} // namespace

QStringList comparisonRow(const ComparisonTrace& trace, const View& view)
{
    sor::SORParser& p = *trace.parser;
    QString name = trace.fileName;
    if (!trace.visible)
        name += tr(" (hidden)");
    // The cable table's values: the nominal wavelength, the fibre's length and loss, "–" where the file has none.
    const analysis::FileSummary s = analysis::summarize(p, trace.fileName.toStdString());
    const auto cell = [](const std::optional<double>& v) { return v ? num(*v) : QStringLiteral("\u2013"); };
    QStringList row { name, cell(s.wavelength), cell(s.pulseWidth), cell(s.fibreLength), cell(s.totalLoss) };
    if (view.cursorsShown) {
        const auto levels = analysis::comparisonReadings({ &p }, view.cursorA, view.cursorB, true).traces.front();
        row << num(levels.yA) << num(levels.yB) << num(levels.difference);
    }
    return row;
}

void composeComparison(Composer& composer, const ComparisonInput& in)
{
    const int count = static_cast<int>(in.traces.size());
    const QString title = count > 0 ? tr("Comparison with %1").arg(in.traces.front().fileName) : tr("Comparison");
    composer.heading(title);
    composer.section([&](const Sheet& sheet, double top) {
        QString subtitle = tr("%1 traces").arg(count);
        if (in.view.cursorsShown)
            subtitle += tr(", cursors at %1 km and %2 km").arg(num(in.view.cursorA), num(in.view.cursorB));
        return sections::heading(sheet, top, title, subtitle);
    });
    composer.section([&](const Sheet& sheet, double top) {
        double h = sections::chart(
            sheet, top, in.style,
            [&](ReportChart& chart) {
                for (const ComparisonTrace& trace : in.traces)
                    if (trace.visible)
                        chart.addTrace(*trace.parser, trace.colour);
                chart.setView(in.view);
            },
            comparisonTraceRows);
        h += sheet.mm(1.5);
        return h + legend(sheet, top + h, in.traces);
    });
    std::vector<QStringList> rows;
    for (const ComparisonTrace& trace : in.traces)
        rows.push_back(comparisonRow(trace, in.view));
    const Table table = traceTable(in.view.cursorsShown, count);
    composer.table([&](const Sheet& sheet, double top, bool continued) { return table.header(sheet, top, continued); },
        [&](const Sheet& sheet, double top, int row) { return table.row(sheet, top, row, rows[size_t(row)]); }, count);
    if (in.view.cursorsShown && count > 0) {
        std::vector<sor::SORParser*> parsers;
        for (const ComparisonTrace& trace : in.traces)
            parsers.push_back(trace.parser);
        const QString readout = CursorReadout::comparisonMeans(
            analysis::comparisonReadings(parsers, in.view.cursorA, in.view.cursorB, in.style.cursorMode),
            in.style.cursorMode);
        composer.section([&](const Sheet& sheet, double top) {
            return sections::richText(sheet, top, tr("Cursors, mean over all traces"), readout);
        });
    }
}

} // namespace report
