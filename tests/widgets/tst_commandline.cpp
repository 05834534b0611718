#include "TestMain.h"
#include "TraceFiles.h"

#include "shell/CommandLine.h"

#include <QProcess>

// The program's command line, through the program itself: help, version, usage errors, the files it opens.
class TestCommandLine : public QObject {
    Q_OBJECT

    struct Run {
        int exitCode = -1;
        QStringList out;
        QStringList err;
    };

    // Starts the program in the test's working directory; it quits as soon as its window is up and its files are
    // opened, as a user's quit does.
    static Run run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TAVIX_QUIT_AFTER_START"), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVIX_VIEWER_PATH), arguments);
        Run result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        if (process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        const auto lines = [](const QByteArray& text) {
            return QString::fromLocal8Bit(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        result.out = lines(process.readAllStandardOutput());
        result.err = lines(process.readAllStandardError());
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        TraceFiles::writeTrace(TraceFiles::ramp(500), QStringLiteral("a.sor"));
        TraceFiles::writeTrace(TraceFiles::ramp(600), QStringLiteral("-x.sor"));
        QDir().mkpath(QStringLiteral("cable"));
        TraceFiles::writeTrace(TraceFiles::ramp(700), QStringLiteral("cable/f1.sor"));
    }

    void withoutWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("firstLine"); // of standard output, or of standard error when that is all
        QTest::addColumn<int>("errorLines");

        const QString usage = QStringLiteral("Usage: tavix-sor-viewer [options] [FILE...]");
        const QString version = QStringLiteral("TAVIX SOR-Viewer " TAVIX_VERSION);
        QTest::newRow("--help") << QStringList { "--help" } << 0 << usage << 0;
        QTest::newRow("-h, files ignored") << QStringList { "a.sor", "-h" } << 0 << usage << 0;
        QTest::newRow("--version") << QStringList { "--version" } << 0 << version << 0;
        QTest::newRow("-v after a Qt option") << QStringList { "-platform", "offscreen", "-v" } << 0 << version << 0;
        QTest::newRow("unknown long option")
            << QStringList { "--bogus", "a.sor" } << 2
            << "tavix-sor-viewer: Unknown option 'bogus'. See tavix-sor-viewer --help." << 1;
        QTest::newRow("a file name taken for options")
            << QStringList { "-x.sor" } << 2 << "tavix-sor-viewer: Unknown option 'x.sor'. See tavix-sor-viewer --help."
            << 1;
    }

    void withoutWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, firstLine);
        QFETCH(int, errorLines);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.err.size(), errorLines);
        QCOMPARE((errorLines ? r.err : r.out).value(0), firstLine);
        if (errorLines)
            QVERIFY(r.out.isEmpty());
        QVERIFY(!r.out.contains(QStringLiteral("TAVIX SOR-Viewer startup")));
    }

    void helpNamesEveryOption()
    {
        const QStringList help = run({ "--help" }).out;
        for (const char* entry : { "-h, --help", "-v, --version", "--report <OUT.pdf>", "FILE...", "FOLDER", "--" })
            QVERIFY2(std::any_of(help.begin(), help.end(),
                         [entry](const QString& line) { return line.startsWith(QLatin1String("  ") + entry + " "); }),
                entry);
    }

    void withWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("parsed"); // files read successfully
        QTest::addColumn<QString>("error"); // in standard error

        QTest::newRow("no file") << QStringList {} << 0 << QString();
        QTest::newRow("relative file") << QStringList { "a.sor" } << 1 << QString();
        QTest::newRow("a name with a dash after --") << QStringList { "--", "-x.sor" } << 1 << QString();
        QTest::newRow("two files, one comparison") << QStringList { "a.sor", "--", "-x.sor" } << 2 << QString();
        // Its files are read in the background, their progress lines kept off standard output; the quit comes
        // while they are read.
        QTest::newRow("a folder, quit while it is read") << QStringList { "cable/" } << 0 << QString();
        QTest::newRow("Qt's options are Qt's") << QStringList { "-style", "fusion", "a.sor" } << 1 << QString();
        QTest::newRow("and so are the X11 ones")
            << QStringList { "-title", "T", "-name", "n", "-icon", "i.png", "-visual", "default", "-cmap", "a.sor" }
            << 1 << QString();
        // The message box over the window ends with the quit.
        QTest::newRow("missing file") << QStringList { "missing.sor" } << 0 << "Could not open file";
    }

    void withWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, parsed);
        QFETCH(QString, error);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.value(0), QStringLiteral("TAVIX SOR-Viewer startup"));
        QCOMPARE(r.out.count(QStringLiteral("File successfully parsed.")), parsed);
        if (!error.isEmpty())
            QVERIFY2(r.err.join(QLatin1Char('\n')).contains(error), qPrintable(r.err.join(QLatin1Char('\n'))));
    }

    void pathsAreMadeAbsolute()
    {
        const CommandLine line = CommandLine::parse(
            { "viewer", "-platform", "offscreen", "a.sor", "/data/b.sor", "cable/", "--", "-x.sor", "--" });
        QCOMPARE(line.action, CommandLine::OpenWindow);
        const QDir here = QDir::current();
        QCOMPARE(line.paths,
            (QStringList { here.absoluteFilePath("a.sor"), "/data/b.sor", here.absoluteFilePath("cable/"),
                here.absoluteFilePath("-x.sor"), here.absoluteFilePath("--") }));
    }

    void reportRequest_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("files");
        QTest::newRow("one file") << QStringList { "--report", "r.pdf", "a.sor" } << int(CommandLine::Report) << "r.pdf"
                                  << 1;
        QTest::newRow("= form, files before it")
            << QStringList { "a.sor", "b.sor", "--report=r.pdf" } << int(CommandLine::Report) << "r.pdf" << 2;
        QTest::newRow("-- before a dashed file")
            << QStringList { "--report", "r.pdf", "--", "-x.sor" } << int(CommandLine::Report) << "r.pdf" << 1;
        QTest::newRow("help wins") << QStringList { "--report", "r.pdf", "a.sor", "-h" } << int(CommandLine::Exit) << ""
                                   << 0;
        QTest::newRow("no file") << QStringList { "--report", "r.pdf" } << int(CommandLine::Exit) << "" << 0;
        QTest::newRow("-- as the output")
            << QStringList { "--report", "--", "a.sor" } << int(CommandLine::Exit) << "" << 0;
    }

    void reportRequest()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, output);
        QFETCH(int, files);
        const CommandLine line = CommandLine::parse(QStringList { "viewer" } + arguments);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.reportOutput, output);
        QCOMPARE(line.paths.size(), files);
        if (action == CommandLine::Exit && line.exitCode != 0)
            QCOMPARE(line.exitCode, CommandLine::usageError);
        for (const QString& path : line.paths)
            QVERIFY(QFileInfo(path).isAbsolute());
    }
};

TAVIX_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
