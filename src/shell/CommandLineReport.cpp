#include "shell/CommandLineReport.h"

#include "analysis/FolderListing.h"
#include "analysis/TraceLabel.h"
#include "report/CableReport.h"
#include "report/ComparisonReport.h"
#include "report/Output.h"
#include "report/TraceReport.h"
#include "shell/TabReport.h"
#include "sor/SORParser.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>
#include <QtConcurrent>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace report;

namespace {

const QString program = QStringLiteral("tavix-sor-viewer");

QtMessageHandler qtHandler = nullptr;

// Qt's remarks about the environment (a missing settings file, a runtime folder it made up) are no errors of
// the report; its critical and fatal messages are.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    if (qtHandler)
        qtHandler(type, context, message);
}

int fail(QTextStream& err, const QString& message, int status = 1)
{
    err << program << ": " << message << '\n';
    return status;
}

int written(const Composer::Compose& compose, const QString& title, const QString& output, QTextStream& err)
{
    QString error;
    if (!savePdf(compose, title, output, frameAt(QDateTime::currentDateTime()), &error))
        return fail(err, QObject::tr("could not write %1: %2").arg(output, error));
    return 0;
}

// Every .sor file below the folder: summarized side by side for the table, then read again, a few ahead, for
// the pages.
int cableReport(const QString& folder, const QString& output, const analysis::Thresholds& thresholds, QTextStream& err)
{
    CableInput input;
    input.folder = folder;
    input.thresholds = thresholds;
    input.style = TabReport::applicationStyle();
    const auto listed = analysis::listSorFiles(QFile::encodeName(folder).toStdString());
    std::vector<QFuture<analysis::FileSummary>> summaries;
    for (const auto& file : listed)
        summaries.push_back(QtConcurrent::run(
            [file, thresholds] { return analysis::summarizeFile(file.path, file.relative, thresholds); }));
    for (size_t i = 0; i < listed.size(); ++i) {
        input.files.push_back(summaries[i].result());
        input.paths << QFile::decodeName(listed[i].path.c_str());
    }
    if (input.files.empty())
        return fail(err, QObject::tr("%1: no .sor files in the folder or below it").arg(folder));
    // A report of nothing but errors is no report of the cable.
    if (std::none_of(input.files.begin(), input.files.end(), [](const auto& f) { return f.parsed; }))
        return fail(err,
            QObject::tr("%1: none of the .sor files in the folder or below it could be read (%2 tried)")
                .arg(folder)
                .arg(input.files.size()));
    const QString title = QObject::tr("Cable report: %1").arg(QFileInfo(folder).fileName());
    return written(
        [&](Composer& c) {
            CableFiles files(input.paths);
            composeCable(c, input, files);
        },
        title, output, err);
}

QString fileNameOf(const std::wstring& path) { return QString::fromStdWString(analysis::fileNameOf(path)); }

} // namespace

void CommandLineReport::prepare()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(quietMessages);
}

int CommandLineReport::write(QTextStream& err) const
{
    if (output.isEmpty() || paths.isEmpty())
        return fail(err, QObject::tr("nothing to report"), 2);
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.exists())
            return fail(err, QObject::tr("%1: no such file or folder").arg(path));
        if (info.isDir() && paths.size() > 1)
            return fail(err, QObject::tr("%1: a folder makes a cable report of its own; name it alone").arg(path), 2);
    }
    const analysis::Thresholds thresholds = analysis::loadThresholds(analysis::thresholdsPath);
    if (QFileInfo(paths.front()).isDir())
        return cableReport(paths.front(), output, thresholds, err);

    std::vector<std::unique_ptr<sor::SORParser>> parsers;
    for (const QString& path : paths) {
        // The run tells a failure in its own words.
        auto parser = std::make_unique<sor::SORParser>(path.toStdWString(), sor::nowhere(), sor::nowhere());
        if (!parser->fileParsed)
            return fail(
                err, QObject::tr("could not parse %1: %2").arg(path, QString::fromStdString(parser->errorMessage)));
        parser->getXY();
        parsers.push_back(std::move(parser));
    }

    Composer::Compose compose;
    QString title;
    TraceInput trace;
    ComparisonInput comparison;
    if (parsers.size() == 1) {
        trace.parser = parsers.front().get();
        trace.fileName = fileNameOf(trace.parser->path);
        trace.style = TabReport::applicationStyle();
        trace.thresholds = thresholds;
        title = trace.fileName;
        compose = [&](Composer& c) { composeTrace(c, trace); };
    } else {
        for (const auto& parser : parsers) {
            ComparisonTrace t;
            t.parser = parser.get();
            t.fileName = fileNameOf(parser->path);
            // Colours as a comparison tab opened on these files draws them.
            const analysis::Rgb colour = analysis::generatedColour(static_cast<uint32_t>(std::rand()));
            t.colour = QColor(colour.red, colour.green, colour.blue);
            comparison.traces.push_back(t);
        }
        comparison.style = TabReport::applicationStyle();
        title = QObject::tr("Comparison with %1").arg(comparison.traces.front().fileName);
        compose = [&](Composer& c) { composeComparison(c, comparison); };
    }

    return written(compose, title, output, err);
}
