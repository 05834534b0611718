// Reports on a large trace: the one-file PDF made in the program, where its time goes, and the whole command-line
// run from start to exit; then the cable report of a folder of 144 generated traces, in the program and from the
// command line.
#include "BenchUtil.h"

#include "analysis/FolderListing.h"
#include "core/Application.h"
#include "report/CableReport.h"
#include "report/Output.h"
#include "report/TraceReport.h"
#include "sor/SORParser.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtConcurrent>

namespace {

// Folder of files F000.sor ... of 30 000-sample traces (about 60 KB each, 30 km at 1 m) with 4 to 12 events.
void writeCable(const QString& dir, int files)
{
    for (int i = 0; i < files; ++i) {
        SynthOptions o;
        o.samples = 30000;
        o.events = 4 + static_cast<unsigned>(i % 9);
        o.seed = static_cast<uint32_t>(i + 1);
        sortest::writeFile(
            QStringLiteral("%1/F%2.sor").arg(dir).arg(i, 3, 10, QLatin1Char('0')).toStdString(), synthesize(o).build());
    }
}

// As the command line makes it: the files summarized side by side, then the pages.
qint64 cableReport(const QString& folder, const report::Frame& frame, int* pages)
{
    report::CableInput input;
    input.folder = folder;
    {
        std::vector<QFuture<analysis::FileSummary>> summaries;
        const auto listed = analysis::listSorFiles(folder.toStdString());
        for (const auto& file : listed)
            summaries.push_back(
                QtConcurrent::run([file] { return analysis::summarizeFile(file.path, file.relative); }));
        for (size_t i = 0; i < listed.size(); ++i) {
            input.files.push_back(summaries[i].result());
            input.paths << QString::fromStdString(listed[i].path);
        }
    }
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    int counted = 0;
    report::writePdf(
        [&](report::Composer& c) {
            report::CableFiles files(input.paths);
            report::composeCable(c, input, files);
        },
        QStringLiteral("cable"), pdf, frame,
        [&](int, int total) {
            counted = total;
            return true;
        });
    *pages = counted;
    return pdf.size();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bench::TraceFile trace(argc, argv, "tavix-report-bench-1M.sor");
    const QString file = QString::fromStdString(trace.path);
    int qtArgc = 1;
    Application application(qtArgc, argv);
    const int reps = 7;
    std::fprintf(stderr, "report benchmark: %s, median of %d runs\n", trace.path.c_str(), reps);

    const QDateTime made = QDateTime::currentDateTime();
    const auto frame = report::frameAt(made);
    qint64 pdfBytes = 0;
    const auto writeReport = [&](sor::SORParser& parser) {
        report::TraceInput input;
        input.parser = &parser;
        input.fileName = QFileInfo(file).fileName();
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        report::writePdf([&](report::Composer& c) { report::composeTrace(c, input); }, input.fileName, pdf, frame);
        pdfBytes = pdf.size();
    };

    double readMs = 0;
    double wholeMs = 0;
    double pdfMs = 0;
    {
        const auto parse = [&] { return sor::SORParser(file.toStdWString(), sor::nowhere(), sor::nowhere()); };
        readMs = bench::medianMs(reps, [&] {
            sor::SORParser parser = parse();
            parser.getXY();
        });
        wholeMs = bench::medianMs(reps, [&] {
            sor::SORParser parser = parse();
            writeReport(parser);
        });
        sor::SORParser parser = parse();
        parser.getXY();
        pdfMs = bench::medianMs(reps, [&] { writeReport(parser); });
    }

    // The command as a user runs it: process start, Qt, parse, report, exit.
    const QString viewer = QCoreApplication::applicationDirPath() + QStringLiteral("/tavix-sor-viewer");
    double commandMs = -1;
    if (QFileInfo(viewer).isExecutable()) {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("report.pdf"));
        commandMs = bench::medianMs(reps, [&] {
            QProcess process;
            process.start(viewer, { QStringLiteral("--report"), out, file });
            process.waitForFinished(60000);
        });
    }

    bench::row("one-file report, in the program (parse, getXY, PDF)", wholeMs);
    bench::row("  parse and getXY", readMs);
    bench::row("  compose and write the PDF (decimation, KChart, text)", pdfMs);
    if (commandMs >= 0)
        bench::row("tavix-sor-viewer --report OUT.pdf FILE, start to exit", commandMs);
    std::fprintf(stderr, "  PDF size: %lld bytes\n", static_cast<long long>(pdfBytes));

    const int files = 144;
    const int cableReps = 3;
    QTemporaryDir cable;
    writeCable(cable.path(), files);
    std::fprintf(stderr, "cable report: %d files of 30000 samples, median of %d runs\n", files, cableReps);
    qint64 cableBytes = 0;
    int items = 0;
    const double inProgramMs
        = bench::medianMs(cableReps, [&] { cableBytes = cableReport(cable.path(), frame, &items); });
    bench::row("cable report, in the program (list, summaries, PDF)", inProgramMs);
    if (QFileInfo(viewer).isExecutable()) {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("cable.pdf"));
        const double cableCommandMs = bench::medianMs(cableReps, [&] {
            QProcess process;
            process.start(viewer, { QStringLiteral("--report"), out, cable.path() });
            process.waitForFinished(300000);
        });
        bench::row("tavix-sor-viewer --report OUT.pdf FOLDER, start to exit", cableCommandMs);
    }
    std::fprintf(
        stderr, "  PDF size: %lld bytes, %d sections and table rows\n", static_cast<long long>(cableBytes), items);
    return 0;
}
