#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

/// "--report OUT.pdf PATH...": a report written without a window, what it shows as the command line named it.
struct CommandLineReport {
    QString output;
    QStringList paths;
    bool fibre = false; ///< the files are one fibre's: its fibre report
    bool byFibre = false; ///< the folder's cable report, fibre by fibre

    /// For a run without a window, before the application object exists: Qt's offscreen platform unless one is
    /// named, so that no display is needed, and Qt's debug lines and warnings silenced.
    static void prepare();

    /// Writes the report: one file, its trace report; several files, a comparison; a folder, the cable report of
    /// every .sor file below it, judged by the thresholds file. Returns the exit status: 0 when the report was
    /// written, 1 when a file or the output failed, 2 for a request without an output or without paths, or with a
    /// folder among other paths; the reason goes to err. The reader's progress lines are not written.
    int write(QTextStream& err) const;
};
