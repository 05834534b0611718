#include "CableFolder.h"
#include "QuietReader.h"
#include "SyntheticFibre.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "cable/CableTab.h"
#include "cable/ThresholdsDialog.h"
#include "compare/SORMultiTab.h"
#include "shell/CommandLine.h"
#include "shell/MainWindow.h"
#include "shell/SORTab.h"
#include "sor/SORParser.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>

#include <sys/stat.h>
#include <unistd.h>

// The whole-cable tab: a folder read in the background into one table, sorted, filtered, judged, exported, opened.
class TestCableTab : public QObject {
    Q_OBJECT

    QString folder; ///< the generated cable folder
    std::vector<cablefolder::Expected> expected;
    std::unique_ptr<MainWindow> window;

    CableTab* openFolder(const QString& path)
    {
        window->openUrls({ QUrl::fromLocalFile(path) }, Qt::NoModifier);
        return qobject_cast<CableTab*>(window->tabs.currentWidget());
    }

    CableTab* scanned(const QString& path)
    {
        CableTab* tab = openFolder(path);
        if (tab && !QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000))
            return nullptr;
        return tab;
    }

    static QStringList shownFiles(const CableTab& tab)
    {
        QStringList files;
        for (int row = 0; row < tab.proxy.rowCount(); ++row)
            files << tab.proxy.index(row, int(analysis::Column::File)).data().toString();
        return files;
    }

    static int rowOf(const CableTab& tab, const QString& file)
    {
        for (int row = 0; row < tab.model.rowCount(); ++row)
            if (tab.model.index(row, 0).data().toString() == file)
                return row;
        return -1;
    }

    // N links to one long trace: enough work for a scan to be caught running, on little disk.
    QString bigFolder(int files)
    {
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("big"));
        if (QDir(path).exists())
            return path;
        QDir().mkpath(path);
        const QString trace = QDir::current().absoluteFilePath(QStringLiteral("long-trace.bin"));
        sortest::SorBuilder b;
        b.gen(sortest::Gen()).fxd(sortest::Fxd()).events(sortest::Events()).data(TraceFiles::ramp(4000000));
        sortest::writeFile(trace.toStdString(), b.build());
        for (int i = 0; i < files; ++i)
            QFile::link(trace, QStringLiteral("%1/F%2.sor").arg(path).arg(i));
        return path;
    }

    static ino_t stdoutInode()
    {
        struct stat info { };
        ::fstat(STDOUT_FILENO, &info);
        return info.st_ino;
    }

private Q_SLOTS:
    void initTestCase()
    {
        folder = QDir::current().absoluteFilePath(QStringLiteral("cable 7"));
        expected = cablefolder::write(folder.toStdString());
    }

    void init()
    {
        TestSupport::resetApplication();
        QFile::remove(QStringLiteral("thresholds.ini"));
        window = std::make_unique<MainWindow>();
        window->resize(1400, 900);
        window->show();
    }

    void cleanup() { window.reset(); }

    void rowsAndVerdicts()
    {
        const ino_t out = stdoutInode();
        CableTab* tab = openFolder(folder);
        QVERIFY(tab);
        QCOMPARE(window->tabs.tabText(window->tabs.currentIndex()), QStringLiteral("cable 7"));
        QCOMPARE(window->tabs.tabToolTip(window->tabs.currentIndex()), folder);
        QVERIFY(tab->progressRow.isVisibleTo(tab));
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QVERIFY(!tab->progressRow.isVisibleTo(tab));
        QCOMPARE(stdoutInode(), out);
        QAbstractItemModelTester modelTester(&tab->model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester proxyTester(&tab->proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(tab->countsLabel.text(), QLatin1String(cablefolder::counts()));
        QCOMPARE(tab->proxy.rowCount(), int(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const auto& e = expected[i];
            const int row = static_cast<int>(i); // sorted by file at first
            QCOMPARE(
                tab->proxy.index(row, int(analysis::Column::File)).data().toString(), QString::fromStdString(e.file));
            const QModelIndex verdict = tab->proxy.index(row, int(analysis::Column::Verdict));
            QCOMPARE(verdict.data().toString(), QString::fromStdString(e.verdict));
            const QString tip = verdict.data(Qt::ToolTipRole).toString();
            if (e.verdict == "Error")
                QVERIFY2(tip.contains(QString::fromStdString(e.reasons)), qPrintable(tip));
            else
                QCOMPARE(tip, QString::fromStdString(e.reasons).replace(QStringLiteral("; "), QStringLiteral("\n")));
            QCOMPARE(tab->proxy.index(row, int(analysis::Column::FibreLength)).data().toString(),
                QString::fromStdString(e.length));
        }
        const QModelIndex file = tab->proxy.index(0, int(analysis::Column::File));
        QCOMPARE(file.data(Qt::ToolTipRole).toString(), folder + QStringLiteral("/F001.sor"));
        QVERIFY(!tab->proxy.index(0, int(analysis::Column::Events)).data(Qt::BackgroundRole).isValid());
    }

    // The way main() opens what the command line names: relative, with or without a closing slash, beside a file.
    void folderNamedOnTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("traceTabs"); // single-trace tabs beside the cable tab
        QTest::newRow("folder") << QStringList { "cable 7" } << 0;
        QTest::newRow("closing slash") << QStringList { "cable 7/" } << 0;
        QTest::newRow("after --, beside a file") << QStringList { "--", "cable 7", "cable 7/F001.sor" } << 1;
    }

    void folderNamedOnTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, traceTabs);
        const CommandLine line = CommandLine::parse(QStringList { "viewer" } + arguments);
        QCOMPARE(line.action, CommandLine::OpenWindow);
        QList<QUrl> urls;
        for (const QString& path : line.paths)
            urls << QUrl::fromLocalFile(path);
        window->openUrls(urls, Qt::NoModifier);
        QList<int> cables;
        int traces = 0;
        for (int i = 0; i < window->tabs.count(); ++i) {
            if (qobject_cast<CableTab*>(window->tabs.widget(i)))
                cables << i;
            traces += qobject_cast<SORTab*>(window->tabs.widget(i)) != nullptr;
        }
        QCOMPARE(cables.size(), 1);
        QCOMPARE(traces, traceTabs);
        QCOMPARE(window->tabs.tabText(cables[0]), QStringLiteral("cable 7"));
        QCOMPARE(window->tabs.tabToolTip(cables[0]), folder);
        auto* tab = qobject_cast<CableTab*>(window->tabs.widget(cables[0]));
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QCOMPARE(tab->proxy.rowCount(), int(expected.size()));
    }

    void sortsNumbersAsNumbers_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("files");
        const auto c = [](analysis::Column column) { return int(column); };
        QTest::newRow("pulse up") << c(analysis::Column::PulseWidth) << int(Qt::AscendingOrder)
                                  << QStringList { "p30.sor", "p100.sor", "p1000.sor", "v1.sor" };
        QTest::newRow("pulse down") << c(analysis::Column::PulseWidth) << int(Qt::DescendingOrder)
                                    << QStringList { "v1.sor", "p1000.sor", "p100.sor", "p30.sor" };
        QTest::newRow("length up") << c(analysis::Column::FibreLength) << int(Qt::AscendingOrder)
                                   << QStringList { "p1000.sor", "p30.sor", "p100.sor", "v1.sor" };
        QTest::newRow("reflectance up") << c(analysis::Column::WorstReflectance) << int(Qt::AscendingOrder)
                                        << QStringList { "p100.sor", "p30.sor", "p1000.sor", "v1.sor" };
        QTest::newRow("verdict up") << c(analysis::Column::Verdict) << int(Qt::AscendingOrder)
                                    << QStringList { "p100.sor", "p30.sor", "p1000.sor", "v1.sor" };
        QTest::newRow("file down") << c(analysis::Column::File) << int(Qt::DescendingOrder)
                                   << QStringList { "v1.sor", "p1000.sor", "p100.sor", "p30.sor" };
    }

    void sortsNumbersAsNumbers()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, files);
        const QString dir = QDir::current().absoluteFilePath(QStringLiteral("sorting"));
        if (!QDir(dir).exists()) {
            QDir().mkpath(dir);
            // Pulse widths whose texts sort otherwise than their numbers; lengths 9.5, 10.2, 100.1 km.
            const struct {
                const char* name;
                uint16_t pulse;
                double km;
                double reflectance;
            } traces[]
                = { { "p30.sor", 30, 10.2, -20 }, { "p100.sor", 100, 100.1, -40 }, { "p1000.sor", 1000, 9.5, -10 } };
            for (const auto& t : traces) {
                sortest::Events e;
                e.events.push_back(cablefolder::event(1, t.km, 0, t.reflectance, "1F9999LS"));
                e.events.push_back(cablefolder::event(2, t.km, 0, -14, "1E9999LS"));
                sortest::Fxd f;
                f.pulseWidth = t.pulse;
                f.sampleSpacing = 48970000; // about 100 m: a trace that holds every event
                sortest::SorBuilder b;
                b.fxd(f).events(e).data(sortest::Data(std::vector<uint16_t>(1100, 1000)));
                sortest::writeFile((dir + "/" + t.name).toStdString(), b.build());
            }
            sortest::writeFile((dir + "/v1.sor").toStdString(), { 0x64, 0x00, 0x00 });
        }
        // Sorted before the rows arrive and after.
        CableTab* tab = openFolder(dir);
        QVERIFY(tab);
        tab->table.sortByColumn(column, Qt::SortOrder(order));
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QCOMPARE(shownFiles(*tab), files);
        tab->table.sortByColumn(int(analysis::Column::Events), Qt::AscendingOrder);
        tab->table.sortByColumn(column, Qt::SortOrder(order));
        QCOMPARE(shownFiles(*tab), files);
        const QVariant number = tab->proxy.index(0, int(analysis::Column::PulseWidth)).data(CableModel::SortRole);
        QVERIFY(number.userType() == QMetaType::Double || !number.isValid());
    }

    void filtersByEveryWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << QString() << 10;
        QTest::newRow("verdict") << QStringLiteral("FAIL") << 3;
        QTest::newRow("two words") << QStringLiteral("f00 pass") << 3;
        QTest::newRow("wavelength") << QStringLiteral("1550") << 1;
        QTest::newRow("errors") << QStringLiteral(" error ") << 2;
        QTest::newRow("subfolder") << QStringLiteral("sub/") << 1;
        QTest::newRow("location") << QStringLiteral("cabinet synth") << 2;
        QTest::newRow("nothing") << QStringLiteral("no such fibre") << 0;
    }

    void filtersByEveryWord()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        CableTab* tab = scanned(folder);
        QVERIFY(tab);
        QTest::keyClicks(&tab->filterEdit, text);
        QCOMPARE(tab->proxy.rowCount(), rows);
        // The counts are of the whole folder, then the rows the filter keeps.
        const QString shown
            = tab->proxy.filterWords().isEmpty() ? QString() : QStringLiteral(" \u2014 %1 shown").arg(rows);
        QCOMPARE(tab->countsLabel.text(), QLatin1String(cablefolder::counts()) + shown);
    }

    // Rows arriving from the scan, a filter, a sort and new thresholds, each checked as the models report it.
    void modelsPassTheModelTesterWhileTheyChange()
    {
        CableTab* tab = openFolder(folder);
        QVERIFY(tab);
        const QAbstractItemModelTester model(&tab->model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QAbstractItemModelTester proxy(&tab->proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QTest::keyClicks(&tab->filterEdit, QStringLiteral("pass"));
        QCOMPARE(tab->proxy.rowCount(), 5);
        tab->table.sortByColumn(CableModel::section(CableModel::Column::TotalLoss), Qt::DescendingOrder);
        analysis::Thresholds strict = tab->model.thresholds();
        strict.maxSpliceLoss = 0;
        tab->setThresholds(strict);
        QCOMPARE(tab->model.rowCount(), int(expected.size()));
        // The files with a splice now fail and leave the filtered view.
        const QStringList shown = shownFiles(*tab);
        for (const char* file : { "F001.sor", "F005.sor", "F008.sor" })
            QVERIFY2(!shown.contains(QLatin1String(file)), file);
    }

    void csvIsTheTableAsShown()
    {
        CableTab* tab = scanned(folder);
        QVERIFY(tab);
        tab->table.sortByColumn(int(analysis::Column::TotalLoss), Qt::DescendingOrder);
        tab->filterEdit.setText(QStringLiteral("F00"));
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("cable.csv"));
        QVERIFY(tab->exportCsv(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString csv = QString::fromUtf8(file.readAll());

        // Split into records and fields; quoted fields may hold commas, quotes and line feeds.
        QList<QStringList> records { {} };
        QString field;
        bool quoted = false;
        for (int i = 0; i < csv.size(); ++i) {
            const QChar ch = csv[i];
            if (quoted) {
                if (ch == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                    field += csv[++i];
                else if (ch == '"')
                    quoted = false;
                else
                    field += ch;
            } else if (ch == '"') {
                quoted = true;
            } else if (ch == ',' || ch == '\n') {
                records.last() << field;
                field.clear();
                if (ch == '\n')
                    records << QStringList();
            } else {
                field += ch;
            }
        }
        QVERIFY(records.last().isEmpty());
        records.removeLast();
        QCOMPARE(records.size(), tab->proxy.rowCount() + 1);
        QCOMPARE(records.size(), 9); // header and the eight F00 files
        QCOMPARE(records[0].size(), analysis::columnCount + 2);
        for (int row = 0; row < tab->proxy.rowCount(); ++row) {
            QStringList shown;
            for (int c = 0; c < analysis::columnCount; ++c) {
                const QModelIndex index = tab->proxy.index(row, c);
                if (c == int(analysis::Column::Locations) && index.data().toString().isEmpty())
                    shown << QString() << QString();
                else if (c == int(analysis::Column::Locations))
                    shown << index.data().toString().split(QStringLiteral(" \u2192 "));
                else
                    shown << index.data().toString();
            }
            const QModelIndex verdict = tab->proxy.index(row, int(analysis::Column::Verdict));
            shown << verdict.data(Qt::ToolTipRole).toString().replace(QStringLiteral("\n"), QStringLiteral("; "));
            if (verdict.data().toString() == QLatin1String("Error"))
                shown.last() = records[row + 1].last(); // the reader's message has line feeds of its own
            QCOMPARE(records[row + 1], shown);
        }
        QVERIFY(!tab->exportCsv(QDir::current().absoluteFilePath(QStringLiteral("missing/cable.csv"))));
    }

    void thresholdsJudgeAgainWithoutReading()
    {
        // A copy of the folder that goes away once it is read: the verdicts come from the rows alone.
        const QString copy = QDir::current().absoluteFilePath(QStringLiteral("gone"));
        cablefolder::write(copy.toStdString());
        CableTab* tab = scanned(copy);
        QVERIFY(tab);
        QVERIFY(QDir(copy).removeRecursively());
        const int f002 = rowOf(*tab, QStringLiteral("F002.sor"));
        const QModelIndex splice = tab->model.index(f002, int(analysis::Column::WorstSplice));
        QVERIFY(splice.data(Qt::BackgroundRole).isValid());
        QCOMPARE(splice.data(Qt::ToolTipRole).toString(), QStringLiteral("splice 0.42 dB at 3.102 km > 0.30 dB"));

        QSignalSpy changed(&tab->model, &QAbstractItemModel::dataChanged);
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<ThresholdsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->maxSpliceLoss.setText(QStringLiteral("0.5"));
            dialog->maxAttenuation[3].clear(); // 1550 nm: no limit
            dialog->minOrl.setText(QStringLiteral("45"));
            QCOMPARE(dialog->maxBendDelta.text(), QStringLiteral("0.5"));
            dialog->maxBendDelta.setText(QStringLiteral("0.8"));
            dialog->accept();
        });
        tab->editThresholds();
        QCOMPARE(changed.count(), 1);
        QVERIFY(!splice.data(Qt::BackgroundRole).isValid());
        // Now every parsed file fails its ORL of 40 dB, and nothing else.
        QCOMPARE(tab->countsLabel.text(), QStringLiteral("10 files: 0 pass, 8 fail, 2 errors"));
        QCOMPARE(tab->model.index(f002, int(analysis::Column::Verdict)).data(Qt::ToolTipRole).toString(),
            QStringLiteral("ORL 40.00 dB < 45.00 dB"));

        // Kept in a file of their own; setting.ini is not touched, and the next tab judges by them.
        QVERIFY(!QFile::exists(QStringLiteral("setting.ini")));
        QFile saved(QStringLiteral("thresholds.ini"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray kept = saved.readAll();
        QVERIFY(kept.contains("MaxSpliceLoss:0.5\n"));
        QVERIFY(kept.contains("\nMaxBendDelta:0.8\n"));
        CableTab* next = scanned(folder);
        QVERIFY(next && next != tab);
        QCOMPARE(next->model.thresholds().minOrl, std::optional<double>(45));
        QCOMPARE(next->model.thresholds().maxBendDelta, std::optional<double>(0.8));
        QCOMPARE(next->countsLabel.text(), QStringLiteral("10 files: 0 pass, 8 fail, 2 errors"));

        // A later change reaches every cable tab of the window.
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<ThresholdsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->buttons.button(QDialogButtonBox::RestoreDefaults)->click();
            dialog->accept();
        });
        next->editThresholds();
        QCOMPARE(tab->countsLabel.text(), QLatin1String(cablefolder::counts()));
        QCOMPARE(next->countsLabel.text(), QLatin1String(cablefolder::counts()));
    }

    void cablesMoveTheSpanWithoutReading()
    {
        // 20 km between 1 km reels, a 0.4 dB splice on the launch reel; a fibre without reels beside it.
        const QString dir = QDir::current().absoluteFilePath(QStringLiteral("reels"));
        QDir().mkpath(dir);
        synth::Fibre reels = synth::withReels({ { 20.0, 0.2, 0 } }, 1.0, 1.0, 0.3, -50.0);
        reels.events.push_back({ 0.5, 0.4, std::nullopt, true });
        reels.events.push_back({ 9.0, 0.1, std::nullopt, true });
        reels.pulseNs = 300;
        reels.spacingMetres = 2;
        sortest::writeFile((dir + "/reels.sor").toStdString(), synth::render(reels).build());
        synth::Fibre bare;
        bare.add({ 10.0, 0.2, 0 });
        bare.events.push_back({ 4.0, 0.1, std::nullopt, true });
        sortest::writeFile((dir + "/bare.sor").toStdString(), synth::render(bare).build());
        CableTab* tab = scanned(dir);
        QVERIFY(tab);
        QVERIFY(QDir(dir).removeRecursively());
        const int row = rowOf(*tab, QStringLiteral("reels.sor"));
        const auto cell = [&](int r, analysis::Column c) { return tab->model.index(r, int(c)).data().toString(); };
        QCOMPARE(cell(row, analysis::Column::FibreLength), QStringLiteral("22.000"));
        QCOMPARE(cell(row, analysis::Column::WorstSplice), QStringLiteral("0.400"));
        QCOMPARE(cell(row, analysis::Column::Verdict), QStringLiteral("Fail"));

        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<ThresholdsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->launchCable.text(), QString());
            dialog->launchCable.setText(QStringLiteral("auto"));
            dialog->receiveCable.setText(QStringLiteral("1"));
            dialog->accept();
        });
        tab->editThresholds();
        QCOMPARE(cell(row, analysis::Column::FibreLength), QStringLiteral("20.000"));
        QCOMPARE(cell(row, analysis::Column::WorstSplice), QStringLiteral("0.100"));
        QCOMPARE(cell(row, analysis::Column::WorstConnector), QStringLiteral("0.300"));
        QCOMPARE(cell(row, analysis::Column::Verdict), QStringLiteral("Pass"));
        // Without reels nothing marks the span: the file cannot be judged in full, and its table says why.
        const int other = rowOf(*tab, QStringLiteral("bare.sor"));
        QCOMPARE(cell(other, analysis::Column::Verdict), QStringLiteral("Incomplete"));
        QVERIFY(tab->model.index(other, int(analysis::Column::Verdict))
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("no launch cable")));
        QCOMPARE(cell(other, analysis::Column::WorstConnector), QStringLiteral("\u2013"));
        QCOMPARE(tab->countsLabel.text(), QStringLiteral("2 files: 1 pass, 0 fail, 0 errors, 1 incomplete"));
        QFile saved(QStringLiteral("thresholds.ini"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray text = saved.readAll();
        QVERIFY(text.contains("LaunchCableKm:auto\nReceiveCableKm:1\n"));
    }

    void failingCellsReadableInBothThemes_data()
    {
        QTest::addColumn<int>("theme");
        QTest::newRow("bright") << int(Application::Bright);
        QTest::newRow("dark") << int(Application::Dark);
    }

    void failingCellsReadableInBothThemes()
    {
        QFETCH(int, theme);
        app()->theme = theme;
        app()->_setTheme();
        CableTab* tab = scanned(folder);
        QVERIFY(tab);
        // WCAG contrast of text and background.
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        };
        const QColor base = tab->table.palette().color(QPalette::Base);
        const int f003 = rowOf(*tab, QStringLiteral("F003.sor"));
        const int f006 = rowOf(*tab, QStringLiteral("F006.sor"));
        for (const auto& [row, column] : { std::pair { f003, analysis::Column::WorstConnector },
                 std::pair { f003, analysis::Column::WorstReflectance }, std::pair { f003, analysis::Column::Verdict },
                 std::pair { f006, analysis::Column::Verdict } }) {
            const QModelIndex index = tab->model.index(row, int(column));
            const QColor back = index.data(Qt::BackgroundRole).value<QBrush>().color();
            const QColor text = index.data(Qt::ForegroundRole).value<QBrush>().color();
            const double l1 = luminance(back), l2 = luminance(text);
            QVERIFY2((std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05) >= 4.5, qPrintable(back.name()));
            QVERIFY(back != base); // the cell stands out
        }
        QVERIFY(!tab->model.index(f003, int(analysis::Column::WorstSplice)).data(Qt::BackgroundRole).isValid());
        TestSupport::resetApplication();
    }

    void openAndCompareRows()
    {
        CableTab* tab = scanned(folder);
        QVERIFY(tab);
        tab->table.sortByColumn(int(analysis::Column::File), Qt::AscendingOrder);
        const QuietReader quiet;
        const QRect first = tab->table.visualRect(tab->proxy.index(1, 0)); // F002.sor
        // A press and a release first, as the window system sends them before a double click.
        QTest::mouseClick(tab->table.viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QTest::mouseDClick(tab->table.viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        auto* single = qobject_cast<SORTab*>(window->tabs.currentWidget());
        QVERIFY(single);
        QCOMPARE(QString::fromStdWString(single->parser->path), folder + QStringLiteral("/F002.sor"));

        window->tabs.setCurrentWidget(tab);
        QVERIFY(tab->compareButton.isEnabled()); // the clicked row is selected
        tab->table.clearSelection();
        QVERIFY(!tab->compareButton.isEnabled());
        // F001, F003 and the unreadable F006: the comparison gets the two that read.
        auto* selection = tab->table.selectionModel();
        for (int row : { 0, 2, 4 })
            selection->select(tab->proxy.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(tab->compareButton.isEnabled());
        QCOMPARE(tab->selectedPaths(), QStringList({ folder + "/F001.sor", folder + "/F003.sor" }));
        QTest::mouseClick(&tab->compareButton, Qt::LeftButton);
        auto* multi = qobject_cast<SORMultiTab*>(window->tabs.currentWidget());
        QVERIFY(multi);
        QVERIFY(multi->isShown((folder + QStringLiteral("/F001.sor")).toStdWString()));
        QVERIFY(multi->isShown((folder + QStringLiteral("/F003.sor")).toStdWString()));
    }

    void foldersAmongDroppedFiles()
    {
        const QString f001 = folder + QStringLiteral("/F001.sor");
        {
            const QuietReader quiet;
            window->openUrls({ QUrl::fromLocalFile(folder), QUrl::fromLocalFile(f001) }, Qt::NoModifier);
        }
        QCOMPARE(window->tabs.count(), 2); // the start tab left
        QVERIFY(qobject_cast<CableTab*>(window->tabs.widget(0)));
        QVERIFY(qobject_cast<SORTab*>(window->tabs.widget(1)));
        window->openUrls(
            { QUrl::fromLocalFile(folder), QUrl::fromLocalFile(folder + QStringLiteral("/sub")) }, Qt::ControlModifier);
        QCOMPARE(window->tabs.count(), 4);
        QCOMPARE(window->tabs.tabText(3), QStringLiteral("sub"));
    }

    void cancelDuringTheScan_data()
    {
        QTest::addColumn<bool>("whileListing");
        QTest::newRow("listing") << true;
        QTest::newRow("reading") << false;
    }

    void cancelDuringTheScan()
    {
        QFETCH(bool, whileListing);
        const QString big = bigFolder(600);
        const ino_t out = stdoutInode();
        CableTab* tab = new CableTab;
        window->tabs.addTab(tab, QStringLiteral("big"));
        if (!whileListing) {
            // As soon as the files are listed and the first ones are being read.
            connect(&tab->scan, &CableScan::progressChanged, tab, [tab](int, int total) {
                if (total > 0)
                    QTimer::singleShot(0, &tab->cancelButton, &QPushButton::click);
            });
        }
        tab->scanFolder(big);
        if (whileListing)
            QTest::mouseClick(&tab->cancelButton, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QVERIFY(tab->scan.wasCancelled());
        QVERIFY(!tab->progressRow.isVisibleTo(tab));
        QVERIFY(tab->countsLabel.text().endsWith(QStringLiteral(" (scan cancelled)")));
        QVERIFY(tab->model.rowCount() < 600);
        QCOMPARE(tab->model.rowCount(), tab->scan.done());
        if (whileListing)
            QCOMPARE(tab->model.rowCount(), 0);
        for (int row = 0; row < tab->model.rowCount(); ++row)
            QVERIFY(tab->model.summary(row).parsed);
        QCOMPARE(stdoutInode(), out);
    }

    void aParseDuringAScanPrintsItsLines()
    {
        // The scan's readers write nothing; a file opened meanwhile on the GUI thread writes its lines as ever.
        const QString big = bigFolder(600);
        const QString single = folder + QStringLiteral("/F001.sor");
        window->tabs._addCableTab(big);
        auto* tab = qobject_cast<CableTab*>(window->tabs.currentWidget());
        QVERIFY(tab);
        QVERIFY(QTest::qWaitFor([tab] { return tab->scan.total() > 0; }, 30000));
        QVERIFY(tab->scan.isRunning());
        std::string out, err;
        {
            const QuietReader captured;
            window->tabs._addSORTab(single);
            window->tabs._addSORTab(QString());
            QVERIFY(tab->scan.isRunning());
            out = captured.output();
            err = captured.errors();
        }
        const std::string lines = "Current section title: Map\nCurrent section title: GenParams\n";
        QVERIFY2(out.find(lines) != std::string::npos, out.c_str());
        QVERIFY2(out.find("File successfully parsed.\n\nNo path selected.\n") != std::string::npos, out.c_str());
        // One file's lines only: none of the scan's hundreds.
        size_t parsed = 0;
        for (size_t at = out.find("File successfully parsed."); at != std::string::npos;
             at = out.find("File successfully parsed.", at + 1))
            ++parsed;
        QCOMPARE(parsed, size_t(1));
        QVERIFY(err.empty());
        tab->scan.cancel();
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
    }

    // The switch beside "Thresholds…" reads the files again and judges them by their own analysis, with the splice
    // threshold of thresholds.ini; and back to the files' events.
    void ownAnalysisJudgesEveryRow_data()
    {
        QTest::addColumn<double>("spliceLoss");
        QTest::addColumn<QStringList>("events"); // per file: the files list their ends only
        QTest::newRow("default thresholds") << 0.05 << QStringList { "3", "3" };
        QTest::newRow("splices from 0.4 dB") << 0.4 << QStringList { "1", "3" };
    }
    void ownAnalysisJudgesEveryRow()
    {
        QFETCH(double, spliceLoss);
        QFETCH(QStringList, events);
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("unlisted"));
        QDir().mkpath(path);
        for (int i = 0; i < 2; ++i) {
            synth::Fibre f;
            f.add({ 10, 0.2, 0 });
            f.seed = static_cast<uint32_t>(i + 1);
            const double loss = i == 0 ? 0.3 : 0.6;
            f.events = { { 3, loss, std::nullopt, false }, { 6, loss, std::nullopt, false } };
            sortest::writeFile(QStringLiteral("%1/F%2.sor").arg(path).arg(i).toStdString(), synth::render(f).build());
        }
        analysis::Thresholds saved;
        saved.detection.spliceLoss = spliceLoss;
        QVERIFY(analysis::saveThresholds(analysis::thresholdsPath, saved));
        CableTab* tab = scanned(path);
        QVERIFY(tab);
        const auto column = [tab] {
            QStringList cells;
            for (int row = 0; row < tab->model.rowCount(); ++row)
                cells << tab->model.index(row, int(analysis::Column::Events)).data().toString();
            cells.sort();
            return cells;
        };
        QCOMPARE(column(), QStringList({ "1", "1" }));
        QVERIFY(!tab->ownAnalysis());

        tab->eventSource.setCurrentIndex(1);
        emit tab->eventSource.activated(1);
        QVERIFY(tab->scan.isRunning() || tab->model.rowCount() == 2);
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QVERIFY(tab->ownAnalysis());
        QCOMPARE(column(), events);
        QVERIFY(tab->countsLabel.text().endsWith(QStringLiteral(", by own analysis")));
        QCOMPARE(tab->model.thresholds().detection.spliceLoss, spliceLoss);

        tab->setOwnAnalysis(false);
        QVERIFY(QTest::qWaitFor([tab] { return !tab->scan.isRunning(); }, 30000));
        QCOMPARE(column(), QStringList({ "1", "1" }));
        QVERIFY(!tab->countsLabel.text().contains(QStringLiteral("own analysis")));
    }

    void emptyFolderSaysSo()
    {
        const QString empty = QDir::current().absoluteFilePath(QStringLiteral("empty & <b>folder"));
        QDir().mkpath(empty + QStringLiteral("/sub"));
        CableTab* tab = scanned(empty);
        QVERIFY(tab);
        QCOMPARE(tab->countsLabel.text(), QStringLiteral("No .sor files in this folder or below it"));
        // Its title and tool tip show the name as written, as the other tabs' do.
        const int index = window->tabs.indexOf(tab);
        QCOMPARE(window->tabs.tabText(index), QStringLiteral("empty && <b>folder"));
        QVERIFY(window->tabs.tabToolTip(index).contains(QStringLiteral("&lt;b&gt;")));
    }

    void countsTellWhatTheFilterShows()
    {
        CableTab* tab = scanned(folder);
        QVERIFY(tab);
        const QString all = tab->countsLabel.text();
        QVERIFY(!all.contains(QStringLiteral("shown")));
        tab->filterEdit.setText(QStringLiteral("F001"));
        QCOMPARE(tab->countsLabel.text(), all + QStringLiteral(" \u2014 %1 shown").arg(tab->proxy.rowCount()));
        QVERIFY(tab->proxy.rowCount() < tab->model.rowCount());
        tab->filterEdit.clear();
        QCOMPARE(tab->countsLabel.text(), all);
    }

    void fileColumnStaysInView()
    {
        CableTab* tab = scanned(folder);
        QVERIFY(tab);
        window->resize(700, 500);
        QTest::qWait(50);
        const int file = int(analysis::Column::File);
        auto* across = tab->table.horizontalScrollBar();
        QVERIFY(across->maximum() > 0);
        across->setValue(across->maximum());
        tab->table.verticalScrollBar()->setValue(tab->table.verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        // Scrolled to the far right and down: the names of the rows in view are still there, row by row.
        QVERIFY(tab->fileColumn.isVisible());
        QCOMPARE(tab->fileColumn.geometry().left(), tab->table.frameWidth());
        QCOMPARE(tab->fileColumn.width(), tab->table.columnWidth(file));
        const int y = tab->table.viewport()->height() / 2;
        const int row = tab->table.rowAt(y);
        QVERIFY(row >= 0);
        QCOMPARE(tab->fileColumn.indexAt(QPoint(5, y)), tab->proxy.index(row, file));
        // Its heading sorts by file as the table's does, one way then the other.
        const QString first = tab->proxy.index(0, file).data().toString();
        QTest::mouseClick(tab->fileColumn.horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
            QPoint(tab->fileColumn.columnWidth(file) / 2, 5));
        QCOMPARE(tab->table.horizontalHeader()->sortIndicatorSection(), file);
        QCOMPARE(tab->proxy.index(tab->proxy.rowCount() - 1, file).data().toString(), first);
    }

    void closingMidScan_data()
    {
        QTest::addColumn<bool>("whileListing");
        QTest::addColumn<bool>("wholeWindow");
        QTest::newRow("tab while listing") << true << false;
        QTest::newRow("tab while reading") << false << false;
        QTest::newRow("window while reading") << false << true;
    }

    void closingMidScan()
    {
        QFETCH(bool, whileListing);
        QFETCH(bool, wholeWindow);
        const QString big = bigFolder(600);
        const ino_t out = stdoutInode();
        window->tabs._addCableTab(big);
        QPointer<CableTab> tab = qobject_cast<CableTab*>(window->tabs.currentWidget());
        QVERIFY(tab);
        if (!whileListing)
            QVERIFY(QTest::qWaitFor([&tab] { return tab->scan.total() > 0; }, 30000));
        QVERIFY(tab->scan.isRunning());
        if (wholeWindow)
            window.reset();
        else
            window->tabs.closePlotTab(window->tabs.currentIndex());
        QVERIFY(tab.isNull());
        QCOMPARE(stdoutInode(), out);
        QTest::qWait(2 * CableScan::batchInterval); // nothing left behind fires
    }
};

TAVIX_TEST_MAIN(TestCableTab)
#include "tst_cabletab.moc"
