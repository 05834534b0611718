#include "shell/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QPair>

#include <algorithm>

#ifndef TAVIX_VERSION
#error "TAVIX_VERSION is set by the build"
#endif

namespace {

const QString programName = QStringLiteral("tavix-sor-viewer");

const QString helpName = QStringLiteral("help");
const QString versionName = QStringLiteral("version");
const QString reportName = QStringLiteral("report");

// The program's own options, in the order the help lists them.
QList<QCommandLineOption> ownOptions()
{
    return {
        { { QStringLiteral("h"), helpName }, CommandLine::tr("Show this help and end.") },
        { { QStringLiteral("v"), versionName }, CommandLine::tr("Show the program's name and version and end.") },
        { reportName,
            CommandLine::tr("Write the report of the files to OUT.pdf and end, without a window: one file gives its "
                            "trace report, several a comparison report, a folder the cable report."),
            QStringLiteral("OUT.pdf") },
    };
}

// Options that QGuiApplication and QApplication read and remove from the arguments themselves.
QList<QCommandLineOption> qtOptions()
{
    QList<QCommandLineOption> options;
    for (const char* name : { "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
             "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet",
             // The X11 ones.
             "title", "icon", "name", "visual", "ncols" })
        options.append(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : { "reverse", "widgetcount", "nograb", "dograb", "cmap" })
        options.append(QCommandLineOption(QString::fromLatin1(name)));
    for (QCommandLineOption& option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

QString filesSyntax() { return QStringLiteral("[FILE...]"); }

// The arguments that are not options, as the help lists them.
QList<QPair<QString, QString>> argumentHelp()
{
    return {
        { QStringLiteral("FILE..."),
            CommandLine::tr("One .sor file opens in a tab of its own, several open in one comparison tab.") },
        { QStringLiteral("FOLDER"),
            CommandLine::tr("Every .sor file of a folder and its subfolders opens in one cable tab.") },
        { QStringLiteral("--"), CommandLine::tr("Ends the options: every argument after it is a file.") },
    };
}

CommandLine exitWith(int code, const QString& output, const QString& error = QString())
{
    CommandLine line;
    line.action = CommandLine::Exit;
    line.exitCode = code;
    line.output = output;
    line.error = error;
    return line;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's options are words after a single dash (-platform), so single-dash words are not bundled letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(ownOptions());
    parser.addOptions(qtOptions());

    const auto usage = [](const QString& reason) {
        return exitWith(usageError, QString(),
            QStringLiteral("%1: %2 %3\n").arg(programName, reason, tr("See %1 --help.").arg(programName)));
    };
    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(helpName))
        return exitWith(0, helpText());
    if (parser.isSet(versionName))
        return exitWith(0, versionText());

    CommandLine line;
    const QStringList files = parser.positionalArguments();
    for (const QString& file : files)
        line.paths << QFileInfo(file).absoluteFilePath();
    if (parser.isSet(reportName)) {
        line.action = Report;
        line.reportOutput = parser.value(reportName);
        // The parser takes whatever follows the option as its value, "--" and other options too.
        if (line.reportOutput.isEmpty() || line.reportOutput.startsWith(QLatin1Char('-')))
            return usage(tr("--report needs the PDF file to write."));
        if (line.paths.isEmpty())
            return usage(tr("--report needs a .sor file or more, or a folder."));
    }
    return line;
}

QString CommandLine::helpText()
{
    const auto names = [](const QCommandLineOption& option) {
        QStringList forms;
        for (const QString& name : option.names())
            forms << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString text = forms.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            text += QStringLiteral(" <%1>").arg(option.valueName());
        return text;
    };
    const QList<QCommandLineOption> options = ownOptions();
    const auto arguments = argumentHelp();
    int width = 0;
    for (const QCommandLineOption& option : options)
        width = std::max(width, int(names(option).size()));
    for (const auto& argument : arguments)
        width = std::max(width, int(argument.first.size()));

    QString text = tr("Usage: %1 [options] %2").arg(programName, filesSyntax()) + QStringLiteral("\n")
        + tr("TAVIX SOR-Viewer shows OTDR measurement files in the Telcordia SR-4731 format (.sor).")
        + QStringLiteral("\n\n") + tr("Options:") + QStringLiteral("\n");
    for (const QCommandLineOption& option : options)
        text += QStringLiteral("  %1  %2\n").arg(names(option), -width).arg(option.description());
    text += QStringLiteral("\n") + tr("Arguments:") + QStringLiteral("\n");
    for (const auto& argument : arguments)
        text += QStringLiteral("  %1  %2\n").arg(argument.first, -width).arg(argument.second);
    return text;
}

QString CommandLine::versionText()
{
    return QStringLiteral("TAVIX SOR-Viewer %1\n").arg(QStringLiteral(TAVIX_VERSION));
}
