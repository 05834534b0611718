#include "report/Output.h"

#include "report/Pages.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>

namespace report {

int reportDpi()
{
    // The resolution a chart widget has on the screen; KChart scales line widths and fonts by the device's against it.
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 72;
}

Frame frameAt(const QDateTime& made)
{
    Frame frame;
    frame.program = QStringLiteral("TAVIX SOR-Viewer " TAVIX_VERSION);
    frame.made = QObject::tr("Report made %1").arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    return frame;
}

bool writePdf(const Composer::Compose& compose, const QString& title, QIODevice& out, const Frame& frame,
    const Composer::Progress& progress)
{
    QPdfWriter writer(&out);
    writer.setPageSize(QPageSize(pageSizeFor(paperLocale())));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setResolution(reportDpi());
    writer.setTitle(title);
    writer.setCreator(frame.program);
    PagedTarget target(writer);
    return Composer::paint(compose, target, frame, progress);
}

bool savePdf(const Composer::Compose& compose, const QString& title, const QString& path, const Frame& frame,
    QString* error, const Composer::Progress& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (!writePdf(compose, title, file, frame, progress)) {
        file.cancelWriting();
        if (error)
            *error = QObject::tr("the report could not be composed");
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool print(const Composer::Compose& compose, QPrinter& printer, const Frame& frame, const Composer::Progress& progress)
{
    printer.setFullPage(true);
    printer.setResolution(reportDpi());
    PagedTarget target(printer);
    return Composer::paint(compose, target, frame, progress);
}

} // namespace report
