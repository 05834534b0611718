// Whole-cable tab on generated folders of 30 000-sample traces: wall time until every file is listed, the longest
// the GUI thread went without handling its events meanwhile, and the resident size per listed file.
#include "SorBuilder.h"
#include "SyntheticPair.h"
#include "SyntheticTrace.h"

#include "cable/CableTab.h"
#include "core/Application.h"
#include "shell/MainWindow.h"

#include <QElapsedTimer>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

double residentMiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Files F00000.sor ... of varied synthetic traces, written by two threads. With cold, each file is written to the
// disk and its pages dropped from the page cache (only its own), so that the scan reads it from the disk.
void generate(const std::string& dir, int files, uint32_t samples, bool cold)
{
    std::filesystem::create_directories(dir);
    const auto part = [&](int first) {
        for (int i = first; i < files; i += 2) {
            SynthOptions o;
            o.samples = samples;
            o.events = 4 + static_cast<unsigned>(i % 9);
            o.seed = static_cast<uint32_t>(i + 1);
            char name[32];
            std::snprintf(name, sizeof name, "/F%05d.sor", i);
            sortest::writeFile(dir + name, synthesize(o).build());
            if (!cold)
                continue;
            const int fd = ::open((dir + name).c_str(), O_RDONLY);
            if (fd >= 0) {
                ::fdatasync(fd);
                ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
                ::close(fd);
            }
        }
    };
    std::thread other(part, 1);
    part(0);
    other.join();
}

double msSince(const QElapsedTimer& clock) { return clock.nsecsElapsed() / 1e6; }

double processCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The longest a batch of rows took to go into the model, the sorted, filtered view of it and the table: wall time
// and the GUI thread's own processor time (the difference is time other programs had the processor).
// Runs the event loop until done() holds. The largest gap between two turns of the loop (a 1 ms timer keeps it
// turning), in wall time and in the GUI thread's processor time during that gap.
struct Gap {
    double wall = 0;
    double cpu = 0;
};
template <typename F> Gap runUntil(F done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double lastCpu = threadCpuMs();
    Gap worst;
    const auto turn = [&] {
        const qint64 now = clock.nsecsElapsed();
        const double cpu = threadCpuMs();
        if ((now - last) / 1e6 > worst.wall)
            worst = { (now - last) / 1e6, cpu - lastCpu };
        last = now;
        lastCpu = cpu;
    };
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, turn);
    ticks.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        turn();
    }
    return worst;
}

struct BatchCost {
    double wall = 0;
    double cpu = 0;
    void watch(CableModel& model)
    {
        auto start = std::make_shared<std::pair<QElapsedTimer, double>>();
        QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, [start] {
            start->first.start();
            start->second = threadCpuMs();
        });
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, [this, start] {
            wall = std::max(wall, msSince(start->first));
            cpu = std::max(cpu, threadCpuMs() - start->second);
        });
    }
};

// A cable measured from both ends, 144 fibres x 2 directions x 2 wavelengths of 30 000 samples: the cable tab
// switched to "Fibres", until every fibre is paired, analysed and judged.
void fibres(MainWindow& window, const std::string& dir, unsigned count)
{
    namespace fs = std::filesystem;
    int files = 0;
    for (unsigned n = 1; n <= count; ++n) {
        synth::FibrePlan plan = synth::randomPlan(25, 8, n % 4 == 0 ? 1 : 0, 7000 + n);
        plan.number = n;
        plan.samples = 30000;
        plan.spacingMetres = 1.0;
        for (const uint16_t nm : { 1310, 1550 }) {
            for (const bool fromB : { false, true }) {
                const fs::path file
                    = fs::path(dir) / (fromB ? "B" : "A") / (plan.fibreId(fromB) + "_" + std::to_string(nm) + ".sor");
                fs::create_directories(file.parent_path());
                sortest::writeFile(file.string(), synth::render(synth::measured(plan, nm, fromB)).build());
                ++files;
            }
        }
    }
    window.tabs._addCableTab(QString::fromStdString(dir));
    auto* tab = qobject_cast<CableTab*>(window.tabs.currentWidget());
    runUntil([&] { return !tab->scan.isRunning(); });
    QElapsedTimer clock;
    clock.start();
    tab->showFibres(true);
    const Gap gap = runUntil([&] { return !tab->fibres.isRunning(); });
    const double wall = msSince(clock);
    std::fprintf(stderr, "%d files of %u fibres measured from both ends (page cache):\n", files, count);
    std::fprintf(stderr, "  \"Fibres\": switch to the last row judged                    %10.1f ms (%d rows)\n", wall,
        tab->fibres.model.rowCount());
    std::fprintf(stderr, "    longest the GUI thread was busy meanwhile: %.1f ms, of it on the processor %5.1f ms\n",
        gap.wall, gap.cpu);
    analysis::Thresholds strict;
    strict.maxSpliceLoss = 0.1;
    clock.restart();
    tab->setThresholds(strict);
    std::fprintf(stderr, "  new thresholds, every fibre judged again                  %10.1f ms\n", msSince(clock));
    std::fprintf(stderr, "goal, the GUI thread never busy 50 ms or more: %.1f ms, %s\n", std::max(gap.wall, 0.0),
        gap.wall < 50 ? "met" : "NOT met");
    window.tabs.closePlotTab(window.tabs.indexOf(tab));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = { 1000, 10000 };
    int qtArgc = 1;
    Application application(qtArgc, argv);
    const std::string root = (std::filesystem::temp_directory_path() / "tavix-cable-bench").string();
    std::filesystem::remove_all(root);

    std::fprintf(stderr, "cable benchmark: folders of synthetic traces, 30000 samples each (about 60 KB), %u cores\n",
        std::thread::hardware_concurrency());
    MainWindow window;
    window.resize(1600, 1000);
    window.show();
    // A first small folder: the thread pool, the table's first paint and the like are not costs of a file.
    generate(root + "/warm-up", 20, 30000, false);
    window.tabs._addCableTab(QString::fromStdString(root + "/warm-up"));
    auto* warmUp = qobject_cast<CableTab*>(window.tabs.currentWidget());
    runUntil([&] { return !warmUp->scan.isRunning(); });
    window.tabs.closePlotTab(window.tabs.currentIndex());

    BatchCost batch;
    const auto scan = [&](const std::string& dir, Gap* gap, bool byLoss = false) {
        window.tabs._addCableTab(QString::fromStdString(dir));
        auto* tab = qobject_cast<CableTab*>(window.tabs.currentWidget());
        batch = BatchCost();
        batch.watch(tab->model);
        // Sorted by a number, each batch of rows lands all over the table.
        if (byLoss)
            tab->table.sortByColumn(static_cast<int>(analysis::Column::TotalLoss), Qt::DescendingOrder);
        *gap = runUntil([&] { return !tab->scan.isRunning(); });
        return tab;
    };
    for (const int files : counts) {
        const std::string dir = root + "/" + std::to_string(files);
        QElapsedTimer clock;
        clock.start();
        generate(dir, files, 30000, true);
        std::fprintf(stderr, "%d files (generated in %.1f s):\n", files, msSince(clock) / 1000);

        runUntil([&] { return msSince(clock) > 0; });
        const double before = residentMiB();
        Gap gap;
        clock.restart();
        CableTab* tab = scan(dir, &gap);
        double wall = msSince(clock);
        const double after = residentMiB();
        std::fprintf(stderr, "  from the disk: Open Folder to the last row                %10.1f ms\n", wall);
        std::fprintf(stderr,
            "    longest the GUI thread was busy meanwhile: %.1f ms, of it on the processor %5.1f ms\n", gap.wall,
            gap.cpu);
        std::fprintf(stderr, "    longest batch of rows into the table: %.1f ms, of it on the processor %6.1f ms\n",
            batch.wall, batch.cpu);
        std::fprintf(stderr, "    resident size %.1f MiB before, %.1f MiB after: per file %7.2f KB\n", before, after,
            (after - before) * 1024 / files);
        clock.restart();
        CableTab* cached = scan(dir, &gap, true);
        wall = msSince(clock);
        std::fprintf(stderr, "  again, from the page cache, sorted by total loss          %10.1f ms\n", wall);
        std::fprintf(stderr,
            "    longest the GUI thread was busy meanwhile: %.1f ms, of it on the processor %5.1f ms\n", gap.wall,
            gap.cpu);
        std::fprintf(stderr, "    longest batch of rows into the table: %.1f ms, of it on the processor %6.1f ms\n",
            batch.wall, batch.cpu);
        window.tabs.closePlotTab(window.tabs.indexOf(cached));

        clock.restart();
        tab->table.sortByColumn(static_cast<int>(analysis::Column::TotalLoss), Qt::DescendingOrder);
        std::fprintf(stderr, "  sort by total loss                                        %10.1f ms\n", msSince(clock));
        clock.restart();
        tab->filterEdit.setText(QStringLiteral("F009"));
        std::fprintf(stderr, "  filter \"F009\" (%5d rows shown)                         %10.1f ms\n",
            tab->proxy.rowCount(), msSince(clock));
        tab->filterEdit.clear();
        analysis::Thresholds strict;
        strict.maxSpliceLoss = 0.1;
        clock.restart();
        tab->setThresholds(strict);
        QCoreApplication::processEvents();
        std::fprintf(stderr, "  new thresholds, every row judged again                    %10.1f ms\n", msSince(clock));
        // Every file read again and judged by the program's own analysis of its trace. The readers run at a lower
        // priority than the GUI thread: on a busy machine the wall time is the other programs' too, hence the
        // processor time of all threads beside it.
        clock.restart();
        const double cpuBefore = processCpuMs();
        const double guiBefore = threadCpuMs();
        tab->setOwnAnalysis(true);
        gap = runUntil([&] { return !tab->scan.isRunning(); });
        std::fprintf(stderr, "  own analysis: every file read, analysed and judged again %10.1f ms (%d rows)\n",
            msSince(clock), tab->model.rowCount());
        std::fprintf(stderr, "    processor time of all threads: %.1f ms, of the GUI thread %.1f ms\n",
            processCpuMs() - cpuBefore, threadCpuMs() - guiBefore);
        std::fprintf(stderr,
            "    longest the GUI thread was busy meanwhile: %.1f ms, of it on the processor %5.1f ms\n", gap.wall,
            gap.cpu);

        // Closing during a scan: the files in progress end first.
        window.tabs._addCableTab(QString::fromStdString(dir));
        auto* again = qobject_cast<CableTab*>(window.tabs.currentWidget());
        runUntil([&] { return again->scan.total() > 0 && again->model.rowCount() > 0; });
        clock.restart();
        window.tabs.closePlotTab(window.tabs.currentIndex());
        std::fprintf(stderr, "  close a tab mid-scan                                      %10.1f ms\n", msSince(clock));
        window.tabs.closePlotTab(window.tabs.indexOf(tab));
        std::filesystem::remove_all(dir);
    }
    fibres(window, root + "/fibres", 144);
    std::filesystem::remove_all(root);
    return 0;
}
