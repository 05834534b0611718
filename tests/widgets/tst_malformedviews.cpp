#include "MalformedVariants.h"
#include "Mouse.h"
#include "QuietReader.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/SORMultiTab.h"
#include "shell/MainWindow.h"
#include "shell/SORTab.h"

#include <QElapsedTimer>
#include <QKeyEvent>

#include <KChartChart>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

// Every malformed variant the reader accepts, shown as a user would see it: in a single-trace tab and in a
// comparison tab of the main window, each painted, zoomed in, wheeled, hovered, given both cursors and an arrow key,
// painted again and closed.
namespace {

// The slowest variant takes up to 0.3 s, 0.9 s under the sanitizers; a variant still busy after this long is taken
// for a hang, and the test ends with its name rather than at CTest's time limit.
constexpr int hangSeconds = 10;

// The sanitizers make each variant about five times slower: there the views get every fourth variant the reader
// accepts, every kind of change still among them; the ordinary build shows every one.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t stride = 4;
#else
constexpr size_t stride = 1;
#endif

// Ends the process when one variant takes longer than hangSeconds; the name of the variant and of its step says
// where.
class HangGuard {
public:
    HangGuard()
        : thread([this] { watch(); })
    {
    }
    ~HangGuard()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    void start(const std::string& variant)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        name = variant;
        step = "parse";
        since = std::chrono::steady_clock::now();
        armed = true;
    }
    void at(const char* what)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        step = what;
    }
    void stop()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        armed = false;
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopping) {
            wake.wait_for(lock, std::chrono::milliseconds(200));
            if (armed && std::chrono::steady_clock::now() - since > std::chrono::seconds(hangSeconds)) {
                std::fprintf(stderr, "HANG: variant %s still busy after %d s, in step %s\n", name.c_str(), hangSeconds,
                    step.c_str());
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool armed = false;
    std::string name;
    std::string step;
    std::chrono::steady_clock::time_point since;
    std::thread thread;
};

struct Outcome {
    size_t variants = 0;
    size_t accepted = 0; ///< by the reader
    size_t shown = 0;
    double slowestSeconds = 0;
    std::string slowest;
    QStringList problems;
};

} // namespace

class TestMalformedViews : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> window;
    QString variantPath;
    QString companionPath; ///< a sound trace the comparison shows beside the variant

    // Paint, zoom in, wheel, hover the centre, both cursors with ctrl+click, the arrow keys, paint again.
    void exercise(KChart::Chart& chart, QWidget& page, HangGuard& guard)
    {
        guard.at("paint");
        page.grab();
        guard.at("zoom in");
        window->tabs.currentWidget_ZoomIn();
        const QPointF centre = QRectF(chart.rect()).center();
        guard.at("wheel");
        Mouse::wheel(&chart, centre, 120);
        guard.at("hover");
        Mouse::move(&chart, centre);
        guard.at("cursors");
        Mouse::press(&chart, centre - QPointF(40, 0), Qt::LeftButton, Qt::ControlModifier);
        Mouse::release(&chart, centre - QPointF(40, 0), Qt::LeftButton);
        Mouse::press(&chart, centre + QPointF(40, 0), Qt::RightButton, Qt::ControlModifier);
        Mouse::release(&chart, centre + QPointF(40, 0), Qt::RightButton);
        guard.at("arrow keys");
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(&chart, &right);
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier);
        QCoreApplication::sendEvent(&chart, &left);
        guard.at("paint zoomed");
        chart.grab();
    }

    void close(QWidget* page, HangGuard& guard)
    {
        guard.at("close");
        window->tabs.closePlotTab(window->tabs.indexOf(page));
        // What the closed tab left posted, deletions included; the window shows the start tab again by now.
        QCoreApplication::processEvents();
    }

    Outcome showAll(const std::vector<sortest::NamedImage>& variants)
    {
        Outcome outcome;
        HangGuard guard;
        const QuietReader quiet;
        for (const auto& v : variants) {
            ++outcome.variants;
            const QString name = QString::fromStdString(v.name);
            if (!sortest::writeFile(variantPath.toStdString(), v.bytes)) {
                outcome.problems << name + QStringLiteral(": cannot write the file");
                continue;
            }
            QElapsedTimer took;
            took.start();
            guard.start(v.name);
            try {
                // Only what the reader accepts reaches the views.
                if (!sor::SORParser(variantPath.toStdWString()).fileParsed || outcome.accepted++ % stride != 0) {
                    guard.stop();
                    continue;
                }
                ++outcome.shown;
                auto& tabs = window->tabs;

                guard.at("open single");
                auto* single = new SORTab(&tabs);
                QString error;
                // Every other variant shows every block, as Alt+A does.
                if (!single->load(variantPath.toStdWString(), outcome.shown % 2 == 0, &error)) {
                    outcome.problems << name + QStringLiteral(": parsed, but the tab refused it: ") + error;
                    delete single;
                    guard.stop();
                    continue;
                }
                tabs.setCurrentIndex(tabs.addTab(single, name));
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                exercise(single->plotter.chart, *single, guard);
                close(single, guard);

                guard.at("open comparison");
                auto* multi = new SORMultiTab();
                if (!multi->load(variantPath.toStdWString(), &error))
                    outcome.problems << name + QStringLiteral(": parsed, but the comparison refused it: ") + error;
                // Beside a sound trace, the variant's range joins another.
                multi->load(companionPath.toStdWString(), &error);
                tabs.setCurrentIndex(tabs.addTab(multi, name));
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                exercise(multi->plotter.chart, *multi, guard);
                close(multi, guard);
            } catch (const std::exception& e) {
                outcome.problems << name + QStringLiteral(": exception: ") + QString::fromUtf8(e.what());
            } catch (...) {
                outcome.problems << name + QStringLiteral(": exception");
            }
            guard.stop();
            const double seconds = took.nsecsElapsed() / 1e9;
            if (seconds > outcome.slowestSeconds) {
                outcome.slowestSeconds = seconds;
                outcome.slowest = v.name;
            }
        }
        return outcome;
    }

    void report(const Outcome& outcome)
    {
        std::printf("%zu variants, %zu accepted by the reader, %zu shown in both tabs; slowest %s, %.3f s\n",
            outcome.variants, outcome.accepted, outcome.shown, outcome.slowest.c_str(), outcome.slowestSeconds);
        std::fflush(stdout);
        for (const QString& problem : outcome.problems)
            qWarning("%s", qPrintable(problem));
        QVERIFY(outcome.problems.isEmpty());
        QCOMPARE(window->tabs.count(), 1);
        QCOMPARE(window->tabs.widget(0), &window->tabs.initialTab);
    }

private Q_SLOTS:
    void initTestCase()
    {
        variantPath = QDir::current().absoluteFilePath(QStringLiteral("variant.sor"));
        companionPath = TraceFiles::writeTrace(TraceFiles::ramp(100), QStringLiteral("companion.sor"));
        window = std::make_unique<MainWindow>();
        window->resize(700, 500);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanupTestCase() { window.reset(); }

    void generatedVariants()
    {
        const auto variants = sortest::malformedVariants(sortest::baseImages(""));
        QVERIFY(variants.size() >= 2000);
        const Outcome outcome = showAll(variants);
        report(outcome);
        QVERIFY(outcome.shown > 0);
    }

    void instrumentFileVariants()
    {
        const std::string samples = TAVIX_SOURCE_DIR "/../shared/sor-samples";
        if (!QDir(QString::fromStdString(samples)).exists())
            QSKIP("no instrument files: ../shared/sor-samples is absent");
        auto bases = sortest::baseImages(samples);
        bases.erase(bases.begin(), bases.begin() + static_cast<long>(sortest::baseImages("").size()));
        QVERIFY(!bases.empty());
        const Outcome outcome = showAll(sortest::malformedVariants(bases));
        report(outcome);
        QVERIFY(outcome.shown > 0);
    }
};

TAVIX_TEST_MAIN(TestMalformedViews)
#include "tst_malformedviews.moc"
