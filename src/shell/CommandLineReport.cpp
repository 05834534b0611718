#include "shell/CommandLineReport.h"

#include "analysis/FibreSet.h"
#include "analysis/FibreSummary.h"
#include "analysis/FibreTable.h"
#include "analysis/FolderListing.h"
#include "analysis/TraceLabel.h"
#include "report/CableReport.h"
#include "report/ComparisonReport.h"
#include "report/FibreReport.h"
#include "report/Output.h"
#include "report/TraceReport.h"
#include "shell/TabReport.h"
#include "sor/SORParser.h"

#include <QDateTime>
#include <QDir>
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

QColor directionColour(bool fromB)
{
    const analysis::Rgb c = analysis::directionColour(fromB);
    return QColor(c.red, c.green, c.blue);
}

// Both ends of one fibre, at any wavelengths.
int fibreReport(
    const QStringList& paths, const QString& output, const analysis::Thresholds& thresholds, QTextStream& err)
{
    std::vector<std::string> native;
    for (const QString& p : paths)
        native.push_back(QFile::encodeName(p).toStdString());
    const auto set = std::make_shared<analysis::FibreSet>(analysis::readFibreSet(native, thresholds));
    for (const auto& error : set->errors)
        return fail(err, QObject::tr("could not parse %1").arg(QString::fromStdString(error).trimmed()));
    const FibreInput input
        = fibreInput(set, thresholds, TabReport::applicationStyle(), directionColour(false), directionColour(true));
    const QString id = set->analysis.fibreId.empty() ? QFileInfo(paths.front()).fileName()
                                                     : QString::fromStdString(set->analysis.fibreId);
    return written([&](Composer& c) { composeFibre(c, input); }, QObject::tr("Fibre %1").arg(id), output, err);
}

// Every .sor file below the folder paired into fibres and judged on both ends' averages, then each fibre's report.
int fibreCableReport(
    const QString& folder, const QString& output, const analysis::Thresholds& thresholds, QTextStream& err)
{
    FibreCableInput input;
    input.folder = folder;
    input.thresholds = thresholds;
    input.style = TabReport::applicationStyle();
    input.colourAB = directionColour(false);
    input.colourBA = directionColour(true);
    std::vector<analysis::FibreFile> files;
    for (const auto& f : analysis::listSorFiles(QFile::encodeName(folder).toStdString()))
        files.push_back(analysis::readFibreFile(f.path, f.relative, thresholds));
    if (files.empty())
        return fail(err, QObject::tr("%1: no .sor files in the folder or below it").arg(folder));
    analysis::ManualPairs manual;
    QFile saved(QDir(folder).filePath(QString::fromLatin1(analysis::pairsFileName)));
    if (saved.open(QIODevice::ReadOnly))
        manual = analysis::parsePairs(saved.readAll().toStdString());
    analysis::Counts counts;
    for (const auto& fibre : analysis::pairWithManual(files, manual)) {
        const analysis::FibreAnalysis a = analysis::analyseFibre(fibre, files);
        const analysis::FibreVerdict v = analysis::evaluateFibre(a, thresholds);
        counts.add(v.outcome);
        for (auto& row : analysis::fibreRows(a, v))
            input.rows.push_back(std::move(row));
        QStringList paths;
        for (const auto& w : fibre.wavelengths)
            for (const int i : { w.ab, w.ba })
                if (i >= 0)
                    paths << QFile::decodeName(files[size_t(i)].path.c_str());
        input.fibrePaths.push_back(paths);
    }
    input.counts = QString::fromStdString(analysis::fibreCountsText(counts));
    const QString title = QObject::tr("Cable report: %1, fibres").arg(QFileInfo(folder).fileName());
    return written([&](Composer& c) { composeFibreCable(c, input); }, title, output, err);
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
    if (byFibre) {
        if (!QFileInfo(paths.front()).isDir())
            return fail(err, QObject::tr("--by-fibre needs one folder"), 2);
        return fibreCableReport(paths.front(), output, thresholds, err);
    }
    if (fibre) {
        if (QFileInfo(paths.front()).isDir())
            return fail(err, QObject::tr("--fibre takes files, not a folder"), 2);
        return fibreReport(paths, output, thresholds, err);
    }
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
