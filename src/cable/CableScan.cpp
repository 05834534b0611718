#include "cable/CableScan.h"

#include "analysis/OwnAnalysis.h"
#include "cable/CableModel.h"

#include <QFile>
#include <QtConcurrent>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <iterator>

namespace {

void yieldToTheGuiThread()
{
#ifdef __linux__
    // The readers yield to the GUI thread when they share the processor with it (on Linux, nice is per thread).
    static thread_local const bool yielding
        = ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10) == 0;
    (void)yielding;
#endif
}

analysis::FileSummary summarizeListed(const analysis::ListedFile& file)
{
    yieldToTheGuiThread();
    return analysis::summarizeFile(file.path, file.relative);
}

// A file judged by the events of its own analysis.
struct SummarizeOwn {
    analysis::Thresholds thresholds;
    using result_type = analysis::FileSummary;
    analysis::FileSummary operator()(const analysis::ListedFile& file) const
    {
        yieldToTheGuiThread();
        return analysis::summarizeFileOwn(file.path, file.relative, thresholds);
    }
};

} // namespace

CableScan::CableScan(CableModel* model_, QObject* parent)
    : QObject(parent)
    , model(model_)
    , stop(std::make_shared<std::atomic<bool>>(false))
{
    batches.setInterval(batchInterval);
    connect(&batches, &QTimer::timeout, this, &CableScan::flush);
    connect(&listing, &QFutureWatcherBase::finished, this, &CableScan::listed);
    connect(&summaries, &QFutureWatcherBase::resultsReadyAt, this, &CableScan::collect);
    // Once the readers are done, the empty future that frees the results reports no progress of the scan.
    connect(&summaries, &QFutureWatcherBase::progressValueChanged, this, [this](int value) {
        if (running && !ending)
            finishedFiles = value;
    });
    // Before the files are listed, a finished signal is the previous scan's freed future announcing itself.
    connect(&summaries, &QFutureWatcherBase::finished, this, [this] {
        if (files >= 0)
            end();
    });
}

CableScan::~CableScan()
{
    // The files in progress end before the model they fill goes.
    stop->store(true);
    listing.waitForFinished();
    summaries.cancel();
    summaries.waitForFinished();
}

void CableScan::start(const QString& folder, bool ownAnalysis, const analysis::Thresholds& thresholds)
{
    if (running)
        return;
    running = true;
    ending = false;
    cancelled = false;
    files = -1;
    finishedFiles = 0;
    collected = 0;
    pending.clear();
    own = ownAnalysis;
    ownThresholds = thresholds;
    stop = std::make_shared<std::atomic<bool>>(false);
    const std::string native = QFile::encodeName(folder).toStdString();
    const auto flag = stop;
    listing.setFuture(
        QtConcurrent::run([native, flag] { return analysis::listSorFiles(native, [flag] { return flag->load(); }); }));
}

void CableScan::cancel()
{
    if (!running)
        return;
    cancelled = true;
    stop->store(true);
    summaries.cancel();
}

void CableScan::listed()
{
    // Handing the watcher an empty future to free the listing announces that one as finished too.
    const QFuture<std::vector<analysis::ListedFile>> done = listing.future();
    if (!running || done.resultCount() == 0)
        return;
    list = done.result();
    listing.setFuture(QFuture<std::vector<analysis::ListedFile>>());
    if (stop->load()) {
        end();
        return;
    }
    files = static_cast<int>(list.size());
    emit progressChanged(0, files);
    // A slot of the signal may have cancelled.
    if (list.empty() || stop->load()) {
        end();
        return;
    }
    taken.assign(list.size(), false);
    batches.start();
    // The engine walks this vector itself (it copies only sequences that share their data), so it stays a member
    // until the scan has ended.
    if (own)
        summaries.setFuture(QtConcurrent::mapped(list, SummarizeOwn { ownThresholds }));
    else
        summaries.setFuture(QtConcurrent::mapped(list, summarizeListed));
}

void CableScan::collect(int begin, int end)
{
    const QFuture<analysis::FileSummary> future = summaries.future();
    for (int i = std::max(begin, 0); i < end && i < static_cast<int>(taken.size()); ++i) {
        if (!taken[static_cast<size_t>(i)]) {
            taken[static_cast<size_t>(i)] = true;
            pending.push_back(future.resultAt(i));
            ++collected;
        }
    }
}

void CableScan::flush()
{
    // A bounded share at a time, the rest after the events that came in meanwhile: into a table sorted by a number,
    // each row is an insertion in the middle of all the others.
    if (!pending.empty()) {
        const auto n = static_cast<std::ptrdiff_t>(std::min(pending.size(), maxRowsAtOnce));
        std::vector<analysis::FileSummary> rows(
            std::make_move_iterator(pending.begin()), std::make_move_iterator(pending.begin() + n));
        pending.erase(pending.begin(), pending.begin() + n);
        model->append(std::move(rows));
    }
    if (!pending.empty() && !flushQueued) {
        flushQueued = true;
        QTimer::singleShot(0, this, [this] {
            flushQueued = false;
            flush();
        });
    } else if (pending.empty() && ending) {
        finish();
    }
    if (running)
        emit progressChanged(finishedFiles, files);
}

void CableScan::end()
{
    if (!running || ending)
        return;
    batches.stop();
    // A cancelled future announces no more results, but keeps those of the files that were finished.
    const QFuture<analysis::FileSummary> future = summaries.future();
    for (int i = 0; i < static_cast<int>(taken.size()); ++i) {
        if (!taken[static_cast<size_t>(i)] && future.isResultReadyAt(i))
            collect(i, i + 1);
    }
    taken = {};
    finishedFiles = collected;
    // The readers have ended: the streams are theirs no more, and the stored results are copies of the rows.
    summaries.setFuture(QFuture<analysis::FileSummary>());
    list = {};
    ending = true;
    flush();
}

void CableScan::finish()
{
    running = false;
    ending = false;
    emit finished();
}
