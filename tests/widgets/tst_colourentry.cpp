#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "core/PixmapTools.h"
#include "options/ColourEntry.h"
#include "options/ColourWidget.h"
#include "plotter/Plotter.h"
#include "plotter/TraceDiagram.h"
#include "shell/SORTab.h"

#include <KChartPlotter>

#include <QGridLayout>
#include <QLabel>
#include <QSignalSpy>

#include <memory>

namespace {

// Answers in place of the colour dialog and remembers what it was asked.
struct FakeDialog {
    QColor answer;
    QList<QColor> askedWith;

    void install(ColourEntry& entry)
    {
        entry.getColour = [this](const QColor& initial) {
            askedWith << initial;
            return answer;
        };
    }
};

// The extreme luminances among the swatch's pixels: the text's anti-aliased strokes reach the text colour.
std::pair<double, double> luminanceRange(QWidget& swatch)
{
    const QImage image = swatch.grab().toImage();
    double low = 1, high = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double l = PixmapTools::luminance(image.pixelColor(x, y));
            low = std::min(low, l);
            high = std::max(high, l);
        }
    }
    return { low, high };
}

} // namespace

// One colour row and the colour page: swatch text, the dialog on a press, the colour reaching the application.
class TestColourEntry : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { TestSupport::resetApplication(); }

    void swatchTextByLuminance_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("text");
        QTest::newRow("yellow") << QColor(255, 255, 0) << QColor(Qt::black);
        QTest::newRow("dark blue") << QColor(0, 0, 139) << QColor(Qt::white);
        QTest::newRow("pure red is dark") << QColor(255, 0, 0) << QColor(Qt::white);
        QTest::newRow("grey just above half") << QColor(128, 128, 128) << QColor(Qt::black);
        QTest::newRow("grey just below half") << QColor(127, 127, 127) << QColor(Qt::white);
    }

    void swatchTextByLuminance()
    {
        QFETCH(QColor, colour);
        QFETCH(QColor, text);
        ColourEntry entry;
        entry.resize(300, 40);
        entry.setCurrentColour(colour);

        QCOMPARE(entry.colourLabel.text(), colour.name());
        QVERIFY(entry.colourLabel.autoFillBackground());
        for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
            QCOMPARE(entry.colourLabel.palette().color(group, QPalette::Window), colour);
            QCOMPARE(entry.colourLabel.palette().color(group, QPalette::WindowText), text);
        }

        // On screen: the strokes of the text reach its colour, and nothing of the other extreme shows.
        const auto [low, high] = luminanceRange(entry.colourLabel);
        if (text == QColor(Qt::black)) {
            QVERIFY2(low < 0.2, qPrintable(QString::number(low)));
            QVERIFY(high <= PixmapTools::luminance(colour) + 0.01);
        } else {
            QVERIFY2(high > 0.8, qPrintable(QString::number(high)));
            QVERIFY(low >= PixmapTools::luminance(colour) - 0.01);
        }
    }

    void initTiesTheRowToItsSetter()
    {
        ColourEntry entry;
        QSignalSpy changed(app(), &Application::GraphColourChanged);
        entry.init(QStringLiteral("Graph Colour"), QColor(1, 2, 3), &Application::setGraphColour);
        // The first colour is the application's own: nothing to tell it.
        QCOMPARE(changed.count(), 0);
        QCOMPARE(entry.nameLabel.text(), QStringLiteral("Graph Colour"));
        QCOMPARE(entry.currentColour, QColor(1, 2, 3));
        QCOMPARE(entry.initialColour, QColor(1, 2, 3));

        entry.setCurrentColour(QColor(10, 20, 30));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(app()->graphColour, QColor(10, 20, 30));

        // An invalid colour is ignored.
        entry.setCurrentColour(QColor());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(entry.currentColour, QColor(10, 20, 30));

        // The property resets to the colour the row started with.
        QVERIFY(entry.metaObject()->property(entry.metaObject()->indexOfProperty("currentColour")).reset(&entry));
        QCOMPARE(app()->graphColour, QColor(1, 2, 3));
        QCOMPARE(entry.colourLabel.text(), QStringLiteral("#010203"));
    }

    // An unreadable colour in the settings: an empty swatch that takes the first colour picked.
    void initWithAnInvalidColour()
    {
        ColourEntry entry;
        FakeDialog dialog { QColor(0, 128, 0), {} };
        dialog.install(entry);
        entry.init(QStringLiteral("Graph Colour"), QColor(), &Application::setGraphColour);
        QVERIFY(!entry.currentColour.isValid());
        QCOMPARE(entry.colourLabel.text(), QString());
        QCOMPARE(app()->graphColour, QColor(255, 0, 0));

        Mouse::press(&entry.colourLabel, QPointF(2, 2), Qt::LeftButton);
        QCOMPARE(app()->graphColour, QColor(0, 128, 0));
    }

    void pressOnEitherLabelPicksAColour_data()
    {
        QTest::addColumn<bool>("onCaption");
        QTest::addColumn<int>("pressed");
        QTest::newRow("swatch, left") << false << int(Qt::LeftButton);
        QTest::newRow("caption, left") << true << int(Qt::LeftButton);
        QTest::newRow("caption, right") << true << int(Qt::RightButton);
        QTest::newRow("swatch, middle") << false << int(Qt::MiddleButton);
    }

    void pressOnEitherLabelPicksAColour()
    {
        QFETCH(bool, onCaption);
        QFETCH(int, pressed);
        const auto button = Qt::MouseButton(pressed);
        ColourEntry entry;
        entry.init(QStringLiteral("Graph Colour"), app()->graphColour, &Application::setGraphColour);
        FakeDialog dialog { QColor(0, 0, 139), {} };
        dialog.install(entry);
        QSignalSpy changed(app(), &Application::GraphColourChanged);

        QLabel& label = onCaption ? entry.nameLabel : entry.colourLabel;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), button, button, Qt::NoModifier);
        QVERIFY(entry.eventFilter(&label, &press)); // consumed

        QCOMPARE(dialog.askedWith, QList<QColor> { QColor(255, 0, 0) });
        QCOMPARE(changed.count(), 1);
        QCOMPARE(app()->graphColour, QColor(0, 0, 139));
        QCOMPARE(entry.colourLabel.text(), QStringLiteral("#00008b"));
        QCOMPARE(entry.colourLabel.palette().color(QPalette::WindowText), QColor(Qt::white));
        // What is written at exit.
        QVERIFY(app()->_settingsText().contains(QStringLiteral("\nGraphColour:#00008b\n")));
    }

    void cancelledDialogChangesNothing()
    {
        ColourEntry entry;
        entry.init(QStringLiteral("Graph Colour"), app()->graphColour, &Application::setGraphColour);
        FakeDialog dialog { QColor(), {} };
        dialog.install(entry);
        QSignalSpy rowChanged(&entry, &ColourEntry::CurrentColourChanged);
        QSignalSpy appChanged(app(), &Application::GraphColourChanged);
        const QPalette before = entry.colourLabel.palette();

        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(entry.eventFilter(&entry.colourLabel, &press)); // consumed all the same

        QCOMPARE(dialog.askedWith.size(), 1);
        QCOMPARE(rowChanged.count(), 0);
        QCOMPARE(appChanged.count(), 0);
        QCOMPARE(entry.currentColour, QColor(255, 0, 0));
        QCOMPARE(app()->graphColour, QColor(255, 0, 0));
        QCOMPARE(entry.colourLabel.text(), QStringLiteral("#ff0000"));
        QCOMPARE(entry.colourLabel.palette(), before);
    }

    void onlyPressesOpenTheDialog()
    {
        ColourEntry entry;
        FakeDialog dialog { QColor(0, 0, 255), {} };
        dialog.install(entry);

        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QVERIFY(!entry.eventFilter(&entry.colourLabel, &release));
        QMouseEvent doubleClick(
            QEvent::MouseButtonDblClick, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(!entry.eventFilter(&entry.nameLabel, &doubleClick));
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QVERIFY(!entry.eventFilter(&entry.colourLabel, &key));
        // A press on something else than the two labels.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(!entry.eventFilter(&entry, &press));
        QVERIFY(dialog.askedWith.isEmpty());
    }

    void colourPageRows()
    {
        app()->setCursorMarkerColour(QColor(1, 1, 1));
        ColourWidget page;
        const struct {
            ColourEntry* row;
            const char* caption;
            const char* property;
            int placedAt; // grid row, -1: not on the page
        } rows[] = {
            { &page.graphColourEntry, "Graph Colour", "graphColour", 0 },
            { &page.selectedMultiGraphPenColourEntry, "Selected Multi Graph Pen Colour", "selectedMultiGraphPenColour",
                1 },
            { &page.cursorMarkerColourEntry, "Cursor Marker Colour", "cursorMarkerColour", 2 },
            { &page.cursorLineColourEntry, "Cursor Line Colour", "cursorLineColour", 3 },
            { &page.eventMarkerColourEntry, "Event Marker Colour", "eventMarkerColour", 4 },
            { &page.eventLineColourEntry, "Event Line Colour", "eventLineColour", -1 },
        };
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(page.layout->count(), 5);
        int n = 0;
        for (const auto& entry : rows) {
            const QString what = QString::fromLatin1(entry.property);
            QCOMPARE(entry.row->nameLabel.text(), QString::fromLatin1(entry.caption));
            QCOMPARE(entry.row->currentColour, app()->property(entry.property).value<QColor>());
            QCOMPARE(entry.row->initialColour, entry.row->currentColour);
            const int index = page.layout->indexOf(entry.row);
            if (entry.placedAt < 0) {
                QVERIFY2(index < 0 && !entry.row->isVisible(), qPrintable(what));
            } else {
                int row = -1, column, rowSpan, columnSpan;
                page.layout->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
                QVERIFY2(row == entry.placedAt && entry.row->isVisible(), qPrintable(what));
            }
            // Each row sets its own colour and no other.
            const QColor picked(10 + n, 20, 30);
            entry.row->setCurrentColour(picked);
            QCOMPARE(app()->property(entry.property).value<QColor>(), picked);
            ++n;
        }
        QCOMPARE(app()->graphColour, QColor(10, 20, 30));
        QCOMPARE(app()->eventLineColour, QColor(15, 20, 30));
    }

    // Through the palette re-application, a colour picked on the page reaches the charts of every open tab.
    void graphColourReachesOpenCharts()
    {
        const QString path = TraceFiles::writeTrace(TraceFiles::ramp(2000), QStringLiteral("colour.sor"));
        std::unique_ptr<SORTab> tabs[2];
        for (auto& tab : tabs) {
            tab = std::make_unique<SORTab>();
            QString error;
            QVERIFY2(tab->load(path.toStdWString(), false, &error), qPrintable(error));
            QCOMPARE(tab->plotter.traceDiagram->pen().color(), QColor(255, 0, 0));
        }
        tabs[1]->show();

        ColourWidget page;
        FakeDialog dialog { QColor(0, 0, 255), {} };
        dialog.install(page.graphColourEntry);
        Mouse::press(&page.graphColourEntry.nameLabel, QPointF(2, 2), Qt::LeftButton);

        for (auto& tab : tabs)
            QCOMPARE(tab->plotter.traceDiagram->pen().color(), QColor(0, 0, 255));
    }

    void swatchesKeepTheirColoursAcrossThemeSwitches()
    {
        ColourWidget page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        ColourEntry* rows[]
            = { &page.graphColourEntry, &page.selectedMultiGraphPenColourEntry, &page.cursorMarkerColourEntry,
                  &page.cursorLineColourEntry, &page.eventMarkerColourEntry, &page.eventLineColourEntry };
        page.cursorLineColourEntry.setCurrentColour(QColor(0, 0, 139));
        page.eventMarkerColourEntry.setCurrentColour(QColor(255, 255, 0));

        for (const int expectedTheme : { int(Application::Dark), int(Application::Bright), int(Application::Dark) }) {
            QCOMPARE(app()->toggleTheme(), expectedTheme);
            const QColor base = QApplication::palette().color(QPalette::Base);
            for (ColourEntry* row : rows) {
                const QPalette palette = row->colourLabel.palette();
                QCOMPARE(palette.color(QPalette::Window), row->currentColour);
                QCOMPARE(palette.color(QPalette::WindowText), PixmapTools::contrastColour(row->currentColour));
                // Rebuilt from the new application palette: the roles the swatch does not set follow the theme.
                QCOMPARE(palette.color(QPalette::Base), base);
            }
        }
        QCOMPARE(page.cursorLineColourEntry.colourLabel.grab().toImage().pixelColor(1, 1), QColor(0, 0, 139));
        QCOMPARE(page.eventMarkerColourEntry.colourLabel.palette().color(QPalette::WindowText), QColor(Qt::black));
    }
};

TAVIX_TEST_MAIN(TestColourEntry)
#include "tst_colourentry.moc"
