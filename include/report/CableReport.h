#pragma once

#include "analysis/FileSummary.h"
#include "analysis/Thresholds.h"
#include "report/Style.h"

#include <QFuture>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

namespace sor {
class SORParser;
}

namespace report {

class Composer;

/// A cable as its tab shows it: the files in the order shown and the thresholds they are judged by.
struct CableInput {
    QString folder;
    std::vector<analysis::FileSummary> files; ///< in the order shown
    QStringList paths; ///< each file's full path, in the same order
    analysis::Thresholds thresholds;
    QString filter; ///< the words the table was filtered by; empty for none
    Style style; ///< of each file's trace report
    bool ownAnalysis = false; ///< the files are judged by the program's own analysis, and their pages show its events
};

// Reads the files of a cable report a few ahead of the page that shows them, on the thread pool, so that pages are
// painted while the next files are read; only those few are held at once. Its readers write nothing. Destroying it
// waits for the reads in progress.
class CableFiles {
public:
    explicit CableFiles(QStringList paths, int ahead = 3);
    ~CableFiles();
    CableFiles(const CableFiles&) = delete;
    CableFiles& operator=(const CableFiles&) = delete;

    /// File index, parsed, its trace computed when trace is true; null when it cannot be opened at all. Files are
    /// taken in rising order; an index taken out of order is read on its own.
    std::shared_ptr<sor::SORParser> take(int index, bool trace);

private:
    void readAhead(int from);

    QStringList paths;
    int ahead;
    bool trace = true;
    std::map<int, QFuture<std::shared_ptr<sor::SORParser>>> reads;
};

/// The summary table's cells of a file, as the cable table's texts.
QStringList cableRow(const analysis::FileSummary& file, const analysis::Thresholds& thresholds);

/// Adds the cable report: a summary page with the table, the counts and the thresholds, then one trace report per
/// file, each on a page of its own (a file that could not be read gets its reason).
void composeCable(Composer& composer, const CableInput& input, CableFiles& files);

} // namespace report
