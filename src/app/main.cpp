#include "report/Headless.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/PixmapTools.h"

#include <QFileInfo>
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

    // A report made from the command line shows no window and needs no display; it writes nothing but errors.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto request = report::reportRequest(arguments)) {
        report::prepareHeadless();
        Application app(argc, argv);
        QTextStream err(stderr);
        return report::runHeadless(*request, err);
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

    // Files named on the command line open as if they had been dropped together.
    QList<QUrl> urls;
    const QStringList paths = QApplication::arguments().mid(1);
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!urls.isEmpty())
        window.openUrls(urls, Qt::NoModifier);

    // For the installation's smoke test: a normal quit as soon as the event loop runs, settings written.
    if (qEnvironmentVariableIsSet("TAVIX_QUIT_AFTER_START"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);

    return QApplication::exec();
}
