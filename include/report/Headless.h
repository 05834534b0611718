#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace report {

/// "--report OUT.pdf PATH...": where the report goes and what it shows.
struct ReportRequest {
    QString output;
    QStringList paths;
};

/// The report request among the program's arguments (the program's name left out), if there is one; a request
/// without an output or without paths is still one, for the usage message.
std::optional<ReportRequest> reportRequest(const QStringList& arguments);

/// For a run without a window, before the application object exists: Qt's offscreen platform unless one is named,
/// so that no display is needed, and Qt's debug lines and warnings silenced.
void prepareHeadless();

/// Writes the report a request asks for: one file, its trace report; several files, a comparison. Returns the exit
/// status: 0 when the report was written, 1 when a file or the output failed, 2 for a malformed request; the reason
/// goes to err. The reader's progress lines are not written.
int runHeadless(const ReportRequest& request, QTextStream& err);

} // namespace report
