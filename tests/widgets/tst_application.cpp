#include "TestMain.h"

#include "SettingsExercise.h"

#include "core/PixmapTools.h"
#include "core/SettingsFile.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QTimer>
#include <QTransform>
#include <QTranslator>

namespace {

QStringList startupMessages;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& message) { startupMessages << message; }

// Counts the palette-change events a widget receives; that is how the charts learn of a colour change.
class PaletteProbe : public QWidget {
public:
    int changes = 0;

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            ++changes;
        QWidget::changeEvent(event);
    }
};

const QByteArray factoryFile = "Theme:Bright\n"
                               "CursorMode:1\n"
                               "GraphColour:#ff0000\n"
                               "SelectedMultiGraphPenColour:#32ff32\n"
                               "CursorMarkerColour:#ff9632\n"
                               "CursorLineColour:#329632\n"
                               "EventMarkerColour:#96ff32\n"
                               "EventLineColour:#969632\n";

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

QColor windowColour() { return QApplication::palette().color(QPalette::Window); }

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        TestSupport::resetApplication();
        TestSupport::removeIcons();
        QFile::remove(QStringLiteral("setting.ini"));
    }

    // Runs first, before cleanup() has touched anything: the state the constructor left.
    void startsWithFactoryValuesWithoutFiles()
    {
        Application* a = app();
        QCOMPARE(a->theme, int(Application::Bright));
        QCOMPARE(a->cursorMode, true);
        QCOMPARE(a->sorDirectory, QStringLiteral("../temp_sor_files/"));
        QCOMPARE(a->settingsPath, QStringLiteral("./setting.ini"));
        QCOMPARE(a->graphColour, QColor(255, 0, 0));
        QCOMPARE(a->selectedMultiGraphPenColour, QColor(50, 255, 50));
        QCOMPARE(a->cursorMarkerColour, QColor(255, 150, 50));
        QCOMPARE(a->cursorLineColour, QColor(50, 150, 50));
        QCOMPARE(a->eventMarkerColour, QColor(150, 255, 50));
        QCOMPARE(a->eventLineColour, QColor(150, 150, 50));
        QVERIFY(a->logoBig.isNull());
        QVERIFY(a->logoSmall.isNull());
        QCOMPARE(windowColour(), QColor("#f0f0f0"));

        const QStringList fileErrors = startupMessages.filter(QRegularExpression(QStringLiteral("^FILE ERROR: ")));
        QCOMPARE(fileErrors.size(), 1);
        QVERIFY2(fileErrors.first().contains(QStringLiteral("No such file")), qPrintable(fileErrors.first()));
    }

    void translationsAreCompiledIn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("language");
        QTest::newRow("english") << ":/translations/trans_en.qm"
                                 << "en_US";
        QTest::newRow("german") << ":/translations/trans_de.qm"
                                << "de_DE";
    }

    void translationsAreCompiledIn()
    {
        QFETCH(QString, file);
        QFETCH(QString, language);
        QTranslator translator;
        QVERIFY(translator.load(file));
        QCOMPARE(translator.language(), language);
        QVERIFY(translator.isEmpty());
    }

    void settingsParsing_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("startTheme");
        QTest::addColumn<int>("theme");
        QTest::addColumn<bool>("cursorMode");
        QTest::addColumn<QColor>("graphColour");

        const int bright = Application::Bright, dark = Application::Dark, native = Application::Native;
        const QColor red(255, 0, 0);
        QTest::newRow("theme line only") << QByteArray("Theme:Dark\n") << bright << dark << true << red;
        QTest::newRow("theme in capitals among blanks")
            << QByteArray("Theme:  NATIVE \t\n") << bright << native << true << red;
        QTest::newRow("key with lower-case initial") << QByteArray("theme:Bright\n") << dark << dark << true << red;
        QTest::newRow("unknown theme word") << QByteArray("Theme:Blue\n") << dark << dark << true << red;
        QTest::newRow("key inside a line") << QByteArray("# Theme:Bright\n") << dark << bright << true << red;
        QTest::newRow("first occurrence counts")
            << QByteArray("Theme:Dark\nTheme:Native\n") << bright << dark << true << red;
        QTest::newRow("repeated key ends the value")
            << QByteArray("GraphColour:#00ff00GraphColour:#0000ff\n") << bright << bright << true << QColor(0, 255, 0);
        QTest::newRow("cursor mode off") << QByteArray("CursorMode:0\n") << bright << bright << false << red;
        QTest::newRow("cursor mode other number") << QByteArray("CursorMode:7\n") << bright << bright << true << red;
        QTest::newRow("cursor mode not a number") << QByteArray("CursorMode:on\n") << bright << bright << false << red;
        QTest::newRow("last line without line end") << QByteArray("CursorMode:0") << bright << bright << false << red;
        QTest::newRow("blank before the colour")
            << QByteArray("GraphColour: #00ff00\n") << bright << bright << true << QColor();
        QTest::newRow("colour name") << QByteArray("GraphColour:steelblue\n") << bright << bright << true
                                     << QColor(70, 130, 180);
        QTest::newRow("not a colour") << QByteArray("GraphColour:#12\n") << bright << bright << true << QColor();
        QTest::newRow("windows line ends") << QByteArray("Theme:Dark\r\nCursorMode:0\r\nGraphColour:#00ff00\r\n")
                                           << bright << dark << false << QColor(0, 255, 0);
        QTest::newRow("text ends at a zero byte")
            << QByteArray("Theme:Dark\n\0GraphColour:#00ff00\n", 33) << bright << dark << true << red;
        QTest::newRow("binary bytes around a key")
            << QByteArray("\xff\xfe\x01Theme:Dark\n\x80\x81") << bright << dark << true << red;
        QTest::newRow("empty file") << QByteArray() << dark << dark << true << red;
    }

    void settingsParsing()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, startTheme);
        QFETCH(int, theme);
        QFETCH(bool, cursorMode);
        QFETCH(QColor, graphColour);

        Application* a = app();
        a->theme = startTheme;
        a->_setTheme();
        QVERIFY(writeFile(QStringLiteral("setting.ini"), contents));
        a->loadSettings();

        QCOMPARE(a->theme, theme);
        QCOMPARE(a->cursorMode, cursorMode);
        QCOMPARE(a->graphColour.isValid(), graphColour.isValid());
        if (graphColour.isValid())
            QCOMPARE(a->graphColour.rgb(), graphColour.rgb());
        // A recognised theme takes effect at once.
        if (theme != Application::Native)
            QCOMPARE(windowColour(), QColor(theme == Application::Dark ? "#333333" : "#f0f0f0"));
        // Keys the file does not name keep their values.
        QCOMPARE(a->eventLineColour, a->defaultEventLineColour);
    }

    void settingsTextEndsWithTheArray()
    {
        // An array made with fromRawData() is not followed by a zero byte: the text ends with the array.
        static const char bytes[] = "CursorMode:07";
        app()->_applySettings(QByteArray::fromRawData(bytes, 12));
        QCOMPARE(app()->cursorMode, false);
    }

    // Every input that ever failed the settings fuzz target, applied through the application object: the same
    // result as the file's rules alone, and what must hold for any file.
    void settingsFuzzRegressions()
    {
        const QDir dir(QStringLiteral(TAVIX_SOURCE_DIR "/fuzz/regressions/settings"));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!files.isEmpty(), qPrintable(dir.path()));
        const SettingsFile factory = sortest::factorySettings();
        for (const QString& name : files) {
            const QByteArray contents = readFile(dir.filePath(name));
            QVERIFY2(sortest::exerciseSettings(contents).empty(), qPrintable(name));

            SettingsFile expected = factory;
            const bool named = expected.apply(contents);
            TestSupport::resetApplication();
            Application* a = app();
            a->_applySettings(contents);
            SettingsFile read;
            read.theme = a->theme;
            read.cursorMode = a->cursorMode;
            read.graphColour = a->graphColour;
            read.selectedMultiGraphPenColour = a->selectedMultiGraphPenColour;
            read.cursorMarkerColour = a->cursorMarkerColour;
            read.cursorLineColour = a->cursorLineColour;
            read.eventMarkerColour = a->eventMarkerColour;
            read.eventLineColour = a->eventLineColour;
            QCOMPARE(a->_settingsText(), expected.text());
            const std::string problem = sortest::checkAppliedSettings(contents, factory, read, named);
            QVERIFY2(problem.empty(), qPrintable(name + QStringLiteral(": ") + QString::fromStdString(problem)));
        }
    }

    void colourProperties_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QColor>("factory");
        QTest::newRow("graph") << QByteArray("graphColour") << QByteArray("GraphColour:") << QColor(255, 0, 0);
        QTest::newRow("selected multi-graph pen") << QByteArray("selectedMultiGraphPenColour")
                                                  << QByteArray("SelectedMultiGraphPenColour:") << QColor(50, 255, 50);
        QTest::newRow("cursor marker") << QByteArray("cursorMarkerColour") << QByteArray("CursorMarkerColour:")
                                       << QColor(255, 150, 50);
        QTest::newRow("cursor line") << QByteArray("cursorLineColour") << QByteArray("CursorLineColour:")
                                     << QColor(50, 150, 50);
        QTest::newRow("event marker") << QByteArray("eventMarkerColour") << QByteArray("EventMarkerColour:")
                                      << QColor(150, 255, 50);
        QTest::newRow("event line") << QByteArray("eventLineColour") << QByteArray("EventLineColour:")
                                    << QColor(150, 150, 50);
    }

    // Setters and resets announce the colour and repaint every widget; the settings file sets it silently.
    void colourProperties()
    {
        QFETCH(QByteArray, property);
        QFETCH(QByteArray, key);
        QFETCH(QColor, factory);

        Application* a = app();
        const QMetaProperty meta = a->metaObject()->property(a->metaObject()->indexOfProperty(property));
        QVERIFY(meta.isValid());
        QVERIFY(meta.hasNotifySignal());
        QVERIFY(meta.isResettable());
        QCOMPARE(meta.read(a).value<QColor>(), factory);

        PaletteProbe probe;
        QSignalSpy changed(a, meta.notifySignal());
        const QColor chosen(12, 34, 56);
        QVERIFY(meta.write(a, chosen));
        QCOMPARE(meta.read(a).value<QColor>(), chosen);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QColor>(), chosen);
        QCOMPARE(probe.changes, 1);

        QVERIFY(meta.reset(a));
        QCOMPARE(meta.read(a).value<QColor>(), factory);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).value<QColor>(), factory);
        QCOMPARE(probe.changes, 2);

        a->_applySettings(key + "#abcdef\n");
        QCOMPARE(meta.read(a).value<QColor>(), QColor(0xab, 0xcd, 0xef));
        QCOMPARE(changed.count(), 2);
    }

    void writtenFile_data()
    {
        QTest::addColumn<int>("theme");
        QTest::addColumn<bool>("cursorMode");
        QTest::addColumn<QColor>("graphColour");
        QTest::addColumn<QByteArray>("expected");

        const QColor red(255, 0, 0);
        QByteArray file = factoryFile;
        QTest::newRow("factory values") << int(Application::Bright) << true << red << file;
        QTest::newRow("dark") << int(Application::Dark) << true << red << file.replace("Bright", "Dark");
        file = factoryFile;
        QTest::newRow("native") << int(Application::Native) << true << red << file.replace("Bright", "Native");
        QTest::newRow("unknown theme value") << 7 << true << red << factoryFile;
        file = factoryFile;
        QTest::newRow("smart cursor") << int(Application::Bright) << false << red
                                      << file.replace("CursorMode:1", "CursorMode:0");
        file = factoryFile;
        QTest::newRow("invalid colour") << int(Application::Bright) << true << QColor()
                                        << file.replace("GraphColour:#ff0000", "GraphColour:#000000");
        file = factoryFile;
        QTest::newRow("alpha is not stored") << int(Application::Bright) << true << QColor(0x12, 0x34, 0x56, 0x78)
                                             << file.replace("GraphColour:#ff0000", "GraphColour:#123456");
    }

    void writtenFile()
    {
        QFETCH(int, theme);
        QFETCH(bool, cursorMode);
        QFETCH(QColor, graphColour);
        QFETCH(QByteArray, expected);

        Application* a = app();
        a->theme = theme;
        a->cursorMode = cursorMode;
        a->graphColour = graphColour;
        a->settingsPath = QStringLiteral("./written.ini");
        a->saveSettings();
        QCOMPARE(readFile(QStringLiteral("written.ini")), expected);
    }

    void settingsRoundTrip()
    {
        Application* a = app();
        a->theme = Application::Native;
        a->cursorMode = false;
        a->graphColour = QColor(1, 2, 3);
        a->selectedMultiGraphPenColour = QColor(4, 5, 6);
        a->cursorMarkerColour = QColor(7, 8, 9);
        a->cursorLineColour = QColor(10, 11, 12);
        a->eventMarkerColour = QColor(13, 14, 15);
        a->eventLineColour = QColor(16, 17, 18);
        a->saveSettings();

        TestSupport::resetApplication();
        a->loadSettings();
        QCOMPARE(a->theme, int(Application::Native));
        QCOMPARE(a->cursorMode, false);
        QCOMPARE(a->graphColour, QColor(1, 2, 3));
        QCOMPARE(a->selectedMultiGraphPenColour, QColor(4, 5, 6));
        QCOMPARE(a->cursorMarkerColour, QColor(7, 8, 9));
        QCOMPARE(a->cursorLineColour, QColor(10, 11, 12));
        QCOMPARE(a->eventMarkerColour, QColor(13, 14, 15));
        QCOMPARE(a->eventLineColour, QColor(16, 17, 18));
    }

    void unreadableOrUnwritableFileIsOnlyLogged()
    {
        Application* a = app();
        a->theme = Application::Dark;
        a->settingsPath = QStringLiteral("./no-such-folder/setting.ini");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^FILE ERROR: ")));
        a->loadSettings();
        QCOMPARE(a->theme, int(Application::Dark));
        QCOMPARE(a->graphColour, a->defaultGraphColour);

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^FILE ERROR: ")));
        a->saveSettings();
        QVERIFY(!QFile::exists(a->settingsPath));
    }

    void themeCyclesFromNative()
    {
        Application* a = app();
        a->theme = Application::Native;
        a->_setTheme();
        const int expected[] = { Application::Bright, Application::Dark, Application::Bright };
        for (const int theme : expected) {
            QCOMPARE(a->toggleTheme(), theme);
            QCOMPARE(a->theme, theme);
            QCOMPARE(windowColour(), QColor(theme == Application::Dark ? "#333333" : "#f0f0f0"));
        }
    }

    void unknownThemeValue()
    {
        Application* a = app();
        a->theme = 7;
        PaletteProbe probe;
        const QPalette before = QApplication::palette();
        a->_setTheme();
        QCOMPARE(probe.changes, 0);
        QCOMPARE(QApplication::palette(), before);
        QCOMPARE(a->toggleTheme(), int(Application::Dark));
    }

    void paletteRoles_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::addColumn<QColor>("colour");

        const struct {
            QPalette::ColorRole role;
            const char* name;
            const char* dark;
            const char* bright;
        } table[] = {
            { QPalette::Text, "Text", "#ffffff", "#000000" },
            { QPalette::BrightText, "BrightText", "#ffffff", "#000000" },
            { QPalette::WindowText, "WindowText", "#ffffff", "#000000" },
            { QPalette::ButtonText, "ButtonText", "#ffffff", "#000000" },
            { QPalette::ToolTipText, "ToolTipText", "#ffffff", "#000000" },
            { QPalette::Button, "Button", "#333333", "#f0f0f0" },
            { QPalette::Base, "Base", "#333333", "#f0f0f0" },
            { QPalette::Window, "Window", "#333333", "#f0f0f0" },
            { QPalette::AlternateBase, "AlternateBase", "#464646", "#dddddd" },
            { QPalette::ToolTipBase, "ToolTipBase", "#000000", "#ffffff" },
            { QPalette::Highlight, "Highlight", "#6666ff", "#6666ff" },
            { QPalette::HighlightedText, "HighlightedText", "#000000", "#000000" },
            { QPalette::Link, "Link", "#1d99f3", "#9696ff" },
            { QPalette::LinkVisited, "LinkVisited", "#9b59b6", "#ff00ff" },
        };
        for (const auto& row : table) {
            QTest::addRow("dark %s", row.name) << true << row.role << QColor(row.dark);
            QTest::addRow("bright %s", row.name) << false << row.role << QColor(row.bright);
        }
    }

    // Every colour group, in the palette getPalette() builds and in the one the theme applies.
    void paletteRoles()
    {
        QFETCH(bool, dark);
        QFETCH(QPalette::ColorRole, role);
        QFETCH(QColor, colour);

        Application* a = app();
        a->theme = dark ? Application::Dark : Application::Bright;
        a->_setTheme();
        const QPalette built = a->getPalette(dark);
        const QPalette applied = QApplication::palette();
        for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
            QCOMPARE(built.brush(group, role).style(), Qt::SolidPattern);
            QCOMPARE(built.color(group, role), colour);
            QCOMPARE(applied.color(group, role), colour);
        }
    }

    void nativeThemeUsesStandardColours()
    {
        Application* a = app();
        a->theme = Application::Native;
        a->_setTheme();
        const QColor window = windowColour();
        QVERIFY(window != QColor("#f0f0f0"));
        QVERIFY(window != QColor("#333333"));
    }

    void setThemeAlwaysChangesPalette_data()
    {
        QTest::addColumn<int>("theme");
        QTest::newRow("dark") << int(Application::Dark);
        QTest::newRow("bright") << int(Application::Bright);
        QTest::newRow("native") << int(Application::Native);
    }

    void setThemeAlwaysChangesPalette()
    {
        QFETCH(int, theme);
        Application* a = app();
        a->theme = theme;
        a->_setTheme();

        PaletteProbe probe;
        for (int call = 1; call <= 3; ++call) {
            const QPalette before = QApplication::palette();
            a->_setTheme();
            QCOMPARE(probe.changes, call);
            QVERIFY(QApplication::palette() != before);
            QCOMPARE(QApplication::palette().color(QPalette::Window), before.color(QPalette::Window));
            QCOMPARE(qAbs(QApplication::palette().color(QPalette::Mid).red() - before.color(QPalette::Mid).red()), 1);
        }
    }

    void eventIcons_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("turned");
        QTest::addColumn<int>("theme");
        QTest::addColumn<QColor>("colour");

        const struct {
            const char* code;
            const char* file;
            bool turned;
        } table[] = {
            { "1F", "otdr_connector.svg", true },
            { "0F", "otdr_splice.svg", true },
            { "1E", "otdr_end_connector.svg", true },
            { "0E", "otdr_end_connector.svg", true },
            { "2E", "otdr_end_connector.svg", true },
            { "2F", "chart_zoom.svg", false },
            { "1", "otdr_connector.svg", true },
            { "", "chart_zoom.svg", false },
        };
        for (const auto& row : table) {
            QTest::addRow("'%s' bright", row.code)
                << QByteArray(row.code) << row.file << row.turned << int(Application::Bright) << QColor(Qt::black);
            QTest::addRow("'%s' dark", row.code)
                << QByteArray(row.code) << row.file << row.turned << int(Application::Dark) << QColor(Qt::white);
        }
    }

    void eventIcons()
    {
        QFETCH(QByteArray, code);
        QFETCH(QString, file);
        QFETCH(bool, turned);
        QFETCH(int, theme);
        QFETCH(QColor, colour);

        QVERIFY(TestSupport::installIcons());
        Application* a = app();
        a->theme = theme;
        a->_setTheme();

        const QIcon icon = a->getEventIcon(code.toStdString());
        QVERIFY(!icon.isNull());
        const QImage image
            = icon.pixmap(icon.availableSizes().value(0)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(TestSupport::drawnColour(image), colour);

        // Same drawn shape as the file, turned clockwise where the event lies on the fibre.
        const QImage source = QImage(QStringLiteral("Icons/") + file).convertToFormat(QImage::Format_ARGB32);
        const QImage expected = turned ? source.transformed(QTransform().rotate(90)) : source;
        // The drawing must not look the same after a quarter turn, or the turn could not be seen.
        QVERIFY(source.transformed(QTransform().rotate(90)).convertToFormat(QImage::Format_Alpha8)
            != source.convertToFormat(QImage::Format_Alpha8));
        QCOMPARE(image.size(), expected.size());
        QCOMPARE(image.convertToFormat(QImage::Format_Alpha8), expected.convertToFormat(QImage::Format_Alpha8));
    }

    void eventIconsWithoutFiles()
    {
        QVERIFY(!QDir(QStringLiteral("Icons")).exists());
        QVERIFY(app()->getEventIcon("1F").isNull());
        QVERIFY(app()->getEventIcon("").isNull());
    }

    // The drawings must be opaque on a transparent background, since they are recoloured through their alpha.
    void iconFiles_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : { "Application_Icon.png", "tavix_logo_big.png", "tavix_logo_small.png", "cross.png",
                 "otdr_end_connector.svg", "otdr_splice.svg", "otdr_connector.svg", "chart_zoom.svg" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void iconFiles()
    {
        QFETCH(QString, file);
        const QImage image
            = QImage(QStringLiteral(TAVIX_SOURCE_DIR "/Icons/") + file).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!image.isNull());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        QVERIFY(opaque > image.width() * image.height() / 50);
    }

    void squareWindowIcon_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("picture");
        QTest::newRow("wide 64x32") << QSize(64, 32) << QRect(0, 16, 64, 32);
        QTest::newRow("tall 32x64") << QSize(32, 64) << QRect(16, 0, 32, 64);
        QTest::newRow("odd difference 65x32") << QSize(65, 32) << QRect(0, 16, 65, 32);
        QTest::newRow("square") << QSize(40, 40) << QRect(0, 0, 40, 40);
        QTest::newRow("one pixel") << QSize(1, 1) << QRect(0, 0, 1, 1);
    }

    void squareWindowIcon()
    {
        QFETCH(QSize, size);
        QFETCH(QRect, picture);
        QPixmap source(size);
        source.fill(Qt::red);

        const QImage square = PixmapTools::squarePixmap(source).toImage().convertToFormat(QImage::Format_ARGB32);
        const int side = qMax(size.width(), size.height());
        QCOMPARE(square.size(), QSize(side, side));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const QRgb expected = picture.contains(x, y) ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 0, 0);
                if (square.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(square.pixel(x, y), 8, 16)));
            }
        }
    }

    void missingWindowIconStaysEmpty()
    {
        QVERIFY(PixmapTools::squarePixmap(QPixmap(QStringLiteral("./Icons/Application_Icon.png"))).isNull());
        QVERIFY(QIcon(PixmapTools::squarePixmap(QPixmap())).isNull());
    }

    // Last: runs the event loop once, which ends the application's run as far as Qt is concerned.
    void settingsAreWrittenWhenTheLoopQuits()
    {
        Application* a = app();
        a->theme = Application::Dark;
        a->cursorMode = false;
        QVERIFY(!QFile::exists(QStringLiteral("setting.ini")));
        QTimer::singleShot(0, a, &QCoreApplication::quit);
        QCOMPARE(QApplication::exec(), 0);
        QByteArray expected = factoryFile;
        expected.replace("Bright", "Dark").replace("CursorMode:1", "CursorMode:0");
        QCOMPARE(readFile(QStringLiteral("setting.ini")), expected);
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    qInstallMessageHandler(collectMessage);
    Application application(argc, argv);
    qInstallMessageHandler(nullptr);
    TestSupport::installStyle();
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
