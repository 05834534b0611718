// Reports on a large trace: the one-file PDF made in the program, where its time goes, and the whole command-line
// run from start to exit.
#include "BenchUtil.h"

#include "report/Output.h"
#include "report/TraceReport.h"
#include "shell/Application.h"
#include "sor/SORParser.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

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
        const QuietFd quiet;
        readMs = bench::medianMs(reps, [&] {
            sor::SORParser parser(file.toStdWString());
            parser.getXY();
        });
        wholeMs = bench::medianMs(reps, [&] {
            sor::SORParser parser(file.toStdWString());
            writeReport(parser);
        });
        sor::SORParser parser(file.toStdWString());
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
    return 0;
}
