#pragma once

#include "analysis/FileSummary.h"
#include "analysis/FolderListing.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <deque>
#include <memory>
#include <vector>

class CableModel;

// Lists a folder and summarizes its files on the thread pool, one reader per file, and hands the finished rows to
// the model on the GUI thread in batches. Cancelling stops the listing or the files not yet started; destroying
// the scan cancels it and waits for the files in progress.
class CableScan : public QObject {
    Q_OBJECT
public:
    explicit CableScan(CableModel* model, QObject* parent = nullptr);
    ~CableScan() override;

    /// Reads the folder's files; with ownAnalysis, each is judged by the events of the program's own analysis (with
    /// the thresholds' detection thresholds) instead of its event table. A scan that has ended can start again.
    void start(const QString& folder, bool ownAnalysis = false,
        const analysis::Thresholds& thresholds = analysis::Thresholds());
    void cancel();

    bool isRunning() const { return running; }
    bool wasCancelled() const { return cancelled; }
    int total() const { return files; } ///< -1 while the folder is listed
    int done() const { return finishedFiles; }

    /// How often finished rows reach the model, in ms, and how many at most before the GUI thread handles its
    /// other events.
    static constexpr int batchInterval = 50;
    static constexpr size_t maxRowsAtOnce = 200;

signals:
    void progressChanged(int done, int total);
    void finished();

private:
    CableModel* model = nullptr; ///< not owned; outlives the scan
    std::shared_ptr<std::atomic<bool>> stop;
    QFutureWatcher<std::vector<analysis::ListedFile>> listing;
    QFutureWatcher<analysis::FileSummary> summaries;
    std::vector<analysis::ListedFile> list; ///< the files being read
    bool own = false;
    analysis::Thresholds ownThresholds;
    std::deque<analysis::FileSummary> pending; ///< finished, not yet in the model
    std::vector<bool> taken; ///< per listed file: its row is in pending or in the model
    int collected = 0;
    QTimer batches;
    bool running = false;
    bool ending = false; ///< the readers are done, the last rows go to the model
    bool flushQueued = false;
    bool cancelled = false;
    int files = -1;
    int finishedFiles = 0;

    void listed();
    void collect(int begin, int end);
    void flush();
    void end();
    void finish();
};
