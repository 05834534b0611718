#pragma once

#include "report/Composer.h"

#include <QDateTime>
#include <QString>

class QIODevice;
class QPrinter;

namespace report {

/// Resolution of the report devices and of the report's chart pictures: the one KChart lays charts out for.
int reportDpi();
/// The footer texts of a report made at that time.
Frame frameAt(const QDateTime& made);

/// Writes the report as PDF into out, on the locale's paper; false when it cannot be written.
bool writePdf(const Composer::Compose& compose, const QString& title, QIODevice& out, const Frame& frame,
    const Composer::Progress& progress = Composer::Progress());
/// The same into a file, which is replaced only once the whole report is written; the reason in error otherwise.
bool savePdf(const Composer::Compose& compose, const QString& title, const QString& path, const Frame& frame,
    QString* error, const Composer::Progress& progress = Composer::Progress());
/// Prints the report on the printer as its dialog left it.
bool print(const Composer::Compose& compose, QPrinter& printer, const Frame& frame,
    const Composer::Progress& progress = Composer::Progress());

} // namespace report
