#include "core/AppStyle.h"
#include "core/Application.h"
#include "core/PixmapTools.h"
#include "shell/CommandLine.h"
#include "shell/CommandLineReport.h"
#include "shell/MainWindow.h"

#include <QIcon>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    // The reader turns wide file paths into narrow ones with the C library, which needs the locale.
    setlocale(LC_CTYPE, "");

    // Help, version and usage errors end here, without a display and without the start-up line, so that their
    // output is only what was asked for.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = CommandLine::parse(arguments);
    if (commandLine.action == CommandLine::Exit) {
        std::cout << commandLine.output.toLocal8Bit().constData() << std::flush;
        std::cerr << commandLine.error.toLocal8Bit().constData() << std::flush;
        return commandLine.exitCode;
    }
    // A report made from the command line shows no window and needs no display; it writes nothing but errors.
    if (commandLine.action == CommandLine::Report) {
        CommandLineReport::prepare();
        Application app(argc, argv);
        QTextStream err(stderr);
        return CommandLineReport { commandLine.reportOutput, commandLine.paths }.write(err);
    }

    std::cout << "TAVIX SOR-Viewer startup" << std::endl;

    Application app(argc, argv);
    QApplication::setStyle(QStringLiteral("fusion"));
    QApplication::setStyle(new AppStyle(QApplication::style()));
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar, true);
    QApplication::setApplicationDisplayName(QStringLiteral("TAVIX SOR-Viewer"));
    QApplication::setApplicationName(QStringLiteral("TAVIX SOR-Viewer"));
    QApplication::setWindowIcon(
        QIcon(PixmapTools::squarePixmap(QPixmap(QStringLiteral("./Icons/Application_Icon.png")))));

    MainWindow window;
    window.resize(800, 600);
    window.showMaximized();

    // Files named on the command line open as if they had been dropped together, once the window is up: a file
    // that cannot be opened is reported over the window, as a drop's would be, in words for the command line.
    if (!commandLine.paths.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, &commandLine] {
            QList<QUrl> urls;
            for (const QString& path : commandLine.paths)
                urls << QUrl::fromLocalFile(path);
            window.openUrls(urls, Qt::NoModifier, MainWindow::CommandLine);
        });
    }

    // For the installation's smoke test: a normal quit as soon as the event loop runs, settings written. Queued
    // after the files, so that it also ends a message box one of them put up.
    if (qEnvironmentVariableIsSet("TAVIX_QUIT_AFTER_START"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);

    return QApplication::exec();
}
