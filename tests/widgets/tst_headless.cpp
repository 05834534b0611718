#include "CableFolder.h"
#include "Poppler.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include <QProcess>

// tavix-sor-viewer --report: the report without a window, with the offscreen platform and with no display at all;
// nothing on standard output, an exit status and a reason on standard error for what fails.
class TestHeadless : public QObject {
    Q_OBJECT

    QString a;
    QString b;
    std::vector<cablefolder::Expected> cable;

private Q_SLOTS:
    void initTestCase()
    {
        sortest::Events events;
        for (uint16_t i = 0; i < 3; ++i) {
            sortest::Event e;
            e.number = i + 1;
            e.timeOfTravel = 20000 * (i + 1);
            events.events.push_back(e);
        }
        a = TraceFiles::writeTrace(TraceFiles::ramp(9000), QStringLiteral("a.sor"), events);
        b = TraceFiles::writeTrace(TraceFiles::ramp(4000), QStringLiteral("b.sor"));
        TraceFiles::write(sortest::Bytes { 1, 2, 3, 4, 5, 6 }, QStringLiteral("broken.sor"));
        QDir().mkpath(QStringLiteral("folder"));
        QDir().mkpath(QStringLiteral("unreadable/sub"));
        TraceFiles::write(sortest::Bytes { 1, 2, 3, 4, 5, 6 }, QStringLiteral("unreadable/sub/broken.sor"));
        cable = cablefolder::write(QDir::current().filePath(QStringLiteral("cable")).toStdString());
    }

    void report_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display"); ///< false: neither a platform named nor a display there
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); ///< on standard error; empty: nothing at all
        QTest::addColumn<QString>("text"); ///< in the PDF
        const QString out = QStringLiteral("out.pdf");
        QTest::newRow("one file") << QStringList { "--report", out, "a.sor" } << true << 0 << ""
                                  << "Trace report: a.sor";
        QTest::newRow("one file, no display") << QStringList { "--report", out, "a.sor" } << false << 0 << ""
                                              << "Trace report: a.sor";
        QTest::newRow("two files") << QStringList { "--report=" + out, "a.sor", "b.sor" } << false << 0 << ""
                                   << "Comparison with a.sor";
        QTest::newRow("missing file") << QStringList { "--report", out, "a.sor", "gone.sor" } << false << 1
                                      << "{here}/gone.sor: no such file or folder"
                                      << "";
        QTest::newRow("broken file") << QStringList { "--report", out, "broken.sor" } << false << 1
                                     << "could not parse {here}/broken.sor: The file does not appear to adhere to "
                                        "the .sor file standard.\n"
                                     << "";
        QTest::newRow("unwritable output") << QStringList { "--report", "no/such/folder/out.pdf", "a.sor" } << false
                                           << 1 << "could not write no/such/folder/out.pdf: "
                                           << "";
        QTest::newRow("folder") << QStringList { "--report", out, "cable" } << false << 0 << ""
                                << cablefolder::counts();
        QTest::newRow("empty folder") << QStringList { "--report", out, "folder" } << false << 1
                                      << "{here}/folder: no .sor files in the folder or below it"
                                      << "";
        QTest::newRow("folder of unreadable files")
            << QStringList { "--report", out, "unreadable" } << false << 1
            << "{here}/unreadable: none of the .sor files in the folder or below it could be read (1 tried)\n"
            << "";
        // Usage errors as the command line's others: status 2, the reason and where to look.
        QTest::newRow("no file") << QStringList { "--report", out } << false << 2
                                 << "--report needs a .sor file or more, or a folder. See tavix-sor-viewer --help."
                                 << "";
        QTest::newRow("no output") << QStringList { "a.sor", "--report" } << false << 2
                                   << "Missing value after '--report'."
                                   << "";
        QTest::newRow("an option taken for the output")
            << QStringList { "--report", "--", "a.sor" } << false << 2 << "--report needs the PDF file to write."
            << "";
        QTest::newRow("a folder among files") << QStringList { "--report", out, "a.sor", "cable" } << false << 2
                                              << "cable: a folder makes a cable report of its own"
                                              << "";
        QTest::newRow("unknown option beside it")
            << QStringList { "--report", out, "--bogus", "a.sor" } << false << 2 << "Unknown option 'bogus'."
            << "";
    }

    void report()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QString, text);
        // Files are named by their absolute paths.
        error.replace(QStringLiteral("{here}"), QDir::currentPath());
        QFile::remove(QStringLiteral("out.pdf"));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" })
            environment.remove(QLatin1String(name));
        if (display)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The leak checker's summary of its suppressions would otherwise count as an error line.
        if (environment.contains(QStringLiteral("LSAN_OPTIONS")))
            environment.insert(QStringLiteral("LSAN_OPTIONS"),
                environment.value(QStringLiteral("LSAN_OPTIONS")) + QStringLiteral(":print_suppressions=0"));
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.start(QStringLiteral(TAVIX_VIEWER_PATH), arguments);
        QVERIFY(viewer.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(viewer.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(viewer.readAllStandardError());
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(out, QString());
        QCOMPARE(viewer.exitCode(), status);
        if (error.isEmpty())
            QCOMPARE(err, QString());
        else
            QVERIFY2(err.contains(error), qPrintable(err));
        QCOMPARE(QFileInfo::exists(QStringLiteral("out.pdf")), status == 0);
        if (status == 0 && Poppler::available())
            QVERIFY(Poppler::text(QStringLiteral("out.pdf")).contains(text));
    }

    // The summary page, then a page for each file with its verdict and reasons.
    void cableReport()
    {
        if (!Poppler::available())
            QSKIP("poppler-utils are not installed");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.start(QStringLiteral(TAVIX_VIEWER_PATH), { "--report", "cable.pdf", "cable" });
        QVERIFY(viewer.waitForFinished(60000));
        QCOMPARE(viewer.exitCode(), 0);
        QCOMPARE(Poppler::pages(QStringLiteral("cable.pdf")), 1 + int(cable.size()));
        const QString summary = Poppler::text(QStringLiteral("cable.pdf"), 1);
        for (int page = 2; page <= 1 + int(cable.size()); ++page) {
            const auto& file = cable[size_t(page - 2)];
            QVERIFY(summary.contains(QString::fromStdString(file.file)));
            const QString text = Poppler::text(QStringLiteral("cable.pdf"), page);
            QVERIFY2(text.contains(QStringLiteral("Trace report: %1").arg(QString::fromStdString(file.file))),
                qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("Verdict: %1").arg(QString::fromStdString(file.verdict))));
            for (const QString& reason : QString::fromStdString(file.reasons).split(QStringLiteral("; ")))
                QVERIFY2(text.contains(reason), qPrintable(reason));
        }
    }
};

TAVIX_TEST_MAIN(TestHeadless)
#include "tst_headless.moc"
