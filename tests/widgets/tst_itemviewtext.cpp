#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/SORMultiTab.h"
#include "events/OTDREventHandler.h"
#include "shell/SORTab.h"
#include "viewer/DataViewer.h"
#include "widgets/ItemViewCopy.h"

#include <QAction>
#include <QClipboard>
#include <QHelpEvent>
#include <QMainWindow>
#include <QTextDocument>
#include <QToolTip>

// The tables and trees as text: rows copied for a spreadsheet, tool tips for cut cells, the block tree's widths.
class TestItemViewText : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<SORMultiTab> comparison;
    SORTab* tab = nullptr;

    static sortest::Events threeEvents()
    {
        sortest::Events e;
        for (uint16_t n = 1; n <= 3; ++n) {
            sortest::Event ev;
            ev.number = n;
            ev.timeOfTravel = 20000 * n + 123;
            ev.spliceLoss = static_cast<int16_t>(100 * n);
            ev.slope = 330;
            ev.reflectionLoss = -45000;
            ev.code = n == 3 ? "1E9999LS" : "0F9999LS";
            e.events.push_back(ev);
        }
        e.totalLoss = 1500;
        e.fiberLength = 60000;
        e.orl = 38000;
        return e;
    }

    CTreeWidget& view(const QString& name)
    {
        if (name == QLatin1String("events"))
            return tab->info.eventHandler.eventTable;
        if (name == QLatin1String("summary"))
            return tab->info.eventHandler.summaryTable;
        if (name == QLatin1String("blocks"))
            return tab->info.dataViewer;
        return comparison->infoWidget.eventDisplay.eventTree;
    }

    // "2" is top-level row 2, "1/3" its fourth child of top-level row 1.
    static QTreeWidgetItem* item(QTreeWidget& tree, const QString& path)
    {
        const QStringList rows = path.split(QLatin1Char('/'));
        QTreeWidgetItem* found = tree.topLevelItem(rows[0].toInt());
        if (found && rows.size() > 1)
            found = found->child(rows[1].toInt());
        return found;
    }

    static QString line(const QTreeWidgetItem* item, int columns)
    {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << item->text(c);
        return cells.join(QLatin1Char('\t'));
    }

    // The tool tip the view shows over a cell as its text reads, or "(none)".
    static QString tipAt(QAbstractItemView& view, const QModelIndex& index)
    {
        QToolTip::showText(QPoint(), QStringLiteral("(none)"), &view);
        const QPoint at = view.visualRect(index).center();
        QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view.viewport(), &help);
        const QString tip = QToolTip::text();
        if (!Qt::mightBeRichText(tip))
            return tip;
        QTextDocument document;
        document.setHtml(tip);
        return document.toPlainText();
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString path
            = TraceFiles::writeTrace(TraceFiles::ramp(70000), QStringLiteral("events.sor"), threeEvents());
        window = std::make_unique<QMainWindow>();
        tab = new SORTab(window.get());
        window->setCentralWidget(tab);
        window->resize(1600, 1000);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QString error;
        std::fflush(stdout);
        QVERIFY2(tab->load(path.toStdWString(), false, &error), qPrintable(error));
        comparison = std::make_unique<SORMultiTab>();
        QVERIFY(comparison->load(path.toStdWString(), &error));
        std::fflush(stdout);
        comparison->resize(1200, 800);
        comparison->show();
        comparison->infoWidget.overview.list.setCurrentRow(0);
        QCoreApplication::processEvents();
    }

    void cleanupTestCase()
    {
        comparison.reset();
        window.reset();
    }

    void copiedRows_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("expected");

        const QString events = QStringLiteral("#\tPos [m]\tIL [dB]\tAtt. [dB/km]\tRefl. [dB]\tCumul. IL [dB]");
        CTreeWidget& table = view("events");
        QTest::newRow("event table, none selected: all")
            << "events" << QStringList()
            << QStringList { events, line(table.topLevelItem(0), 6), line(table.topLevelItem(1), 6),
                   line(table.topLevelItem(2), 6) };
        QTest::newRow("event table, in the table's order")
            << "events" << QStringList { "2", "0" }
            << QStringList { events, line(table.topLevelItem(0), 6), line(table.topLevelItem(2), 6) };
        QTest::newRow("summary table") << "summary" << QStringList()
                                       << QStringList { "Length [km]\tIL [dB]\tORL [dB]\tAtt. [dB/km]",
                                              line(view("summary").topLevelItem(0), 4) };
        QTest::newRow("comparison event table") << "comparison" << QStringList { "1" }
                                                << QStringList { events, line(view("comparison").topLevelItem(1), 6) };

        // The block tree shows no header; its section headings are rows of their own.
        CTreeWidget& blocks = view("blocks");
        QStringList all;
        for (int i = 0; i < blocks.topLevelItemCount(); ++i) {
            all << line(blocks.topLevelItem(i), 2);
            for (int c = 0; c < blocks.topLevelItem(i)->childCount(); ++c)
                all << line(blocks.topLevelItem(i)->child(c), 2);
        }
        QTest::newRow("block tree, none selected") << "blocks" << QStringList() << all;
        QTest::newRow("block tree, one row")
            << "blocks" << QStringList { "1/2" }
            << QStringList { "Pulse Width\t" + blocks.topLevelItem(1)->child(2)->text(1) };
    }

    // Through Ctrl+C and the context menu's one action, "Copy".
    void copiedRows()
    {
        QFETCH(QString, view);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, expected);
        CTreeWidget& tree = this->view(view);
        tree.clearSelection();
        for (const QString& path : selected)
            item(tree, path)->setSelected(true);
        const QString text = expected.join(QLatin1Char('\n')) + QLatin1Char('\n');
        tree.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(tree.window()));
        tree.setFocus();
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        QTest::keyClick(&tree, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), text);

        QCOMPARE(tree.contextMenuPolicy(), Qt::ActionsContextMenu);
        const QList<QAction*> actions = tree.actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions[0]->text(), QStringLiteral("Copy"));
        clipboard->clear();
        actions[0]->trigger();
        QCOMPARE(clipboard->text(), text);
        tree.clearSelection();
    }

    void cellsAsShown()
    {
        CTreeWidget tree;
        tree.setColumnCount(3);
        tree.setHeaderLabels({ "A", "B", "C" });
        auto* parent = new QTreeWidgetItem(&tree, QStringList { "x\ty", "hidden", "say \"hi\"" });
        new QTreeWidgetItem(parent, QStringList { "child", "", "two\nlines" });
        new QTreeWidgetItem(&tree, QStringList { "other", "", "row" });
        tree.header()->moveSection(2, 0);
        tree.header()->setSectionHidden(1, true);
        // Columns in their shown order, hidden ones left out; tabs, line breaks and quotes quoted.
        QCOMPARE(ItemViewCopy::rowsText(tree),
            QStringLiteral("C\tA\n\"say \"\"hi\"\"\"\t\"x\ty\"\n\"two\nlines\"\tchild\nrow\tother\n"));
        // A selected collapsed row brings its hidden rows along; no header line while the header is hidden.
        tree.setHeaderHidden(true);
        parent->setSelected(true);
        QCOMPARE(ItemViewCopy::rowsText(tree), QStringLiteral("\"say \"\"hi\"\"\"\t\"x\ty\"\n\"two\nlines\"\tchild\n"));
        parent->setExpanded(true);
        QCOMPARE(ItemViewCopy::rowsText(tree), QStringLiteral("\"say \"\"hi\"\"\"\t\"x\ty\"\n"));

        // Markup in a cut cell is text in its tool tip too.
        new QTreeWidgetItem(&tree, QStringList { "<b>bold</b> & more" });
        tree.setColumnWidth(0, 40);
        tree.resize(300, 100);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QCOMPARE(tipAt(tree, tree.model()->index(2, 0)), QStringLiteral("<b>bold</b> & more"));
    }

    void cutCellsShowTheirWholeText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("cut");
        QTest::newRow("position, cut") << 1 << 30 << true;
        QTest::newRow("position, whole") << 1 << 200 << false;
        // Qt never elides a single character, it only clips it: no whole text to show.
        QTest::newRow("one digit with its own tool tip, clipped") << 0 << 8 << false;
        QTest::newRow("number with its own tool tip, whole") << 0 << 100 << false;
        QTest::newRow("number in the table's own narrow column") << 0 << 35 << false;
    }

    void cutCellsShowTheirWholeText()
    {
        QFETCH(int, column);
        QFETCH(int, width);
        QFETCH(bool, cut);
        CTreeWidget& table = view("events");
        const int before = table.columnWidth(column);
        table.header()->setMinimumSectionSize(1);
        table.setColumnWidth(column, width);
        QTreeWidgetItem* row = table.topLevelItem(2);
        const QString own = row->toolTip(column);
        QString expected = cut ? row->text(column) : own;
        if (cut && !own.isEmpty())
            expected += QStringLiteral("\n\n") + own;
        QCOMPARE(
            tipAt(table, table.model()->index(2, column)), expected.isEmpty() ? QStringLiteral("(none)") : expected);
        table.setColumnWidth(column, before);
    }

    void blockTreeValuesGetTheirWidth_data()
    {
        QTest::addColumn<int>("room"); // pixels beyond what the labels and the values need
        QTest::newRow("wide panel: the labels keep 250 pixels") << 500;
        QTest::newRow("room for both: the labels give way") << 4;
        QTest::newRow("too narrow: the labels keep their width") << -60;
    }

    void blockTreeValuesGetTheirWidth()
    {
        QFETCH(int, room);
        // Alone and filled as a tab fills it, so that the panel is as wide as asked.
        DataViewer viewer;
        viewer.parser = tab->parser;
        viewer._loadTavixInfo();
        viewer._loadConfiguration();
        for (int i = 0; i < viewer.topLevelItemCount(); ++i)
            viewer.topLevelItem(i)->setFirstColumnSpanned(true);
        viewer.setRootIsDecorated(false);
        // The rows under the headings, indented one step.
        int labels = 0;
        int values = 0;
        for (int i = 0; i < viewer.topLevelItemCount(); ++i) {
            const QModelIndex section = viewer.model()->index(i, 0);
            for (int c = 0; c < viewer.model()->rowCount(section); ++c) {
                labels = std::max(labels, viewer.sizeHintForIndex(viewer.model()->index(c, 0, section)).width());
                values = std::max(values, viewer.sizeHintForIndex(viewer.model()->index(c, 1, section)).width());
            }
        }
        const int need = viewer.indentation() + labels + values + 2 * viewer.frameWidth();
        viewer.resize(need + room, 600);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCoreApplication::processEvents();

        if (room > 300)
            QCOMPARE(viewer.columnWidth(0), 250);
        bool labelsWhole = true;
        bool valuesWhole = true;
        for (int i = 0; i < viewer.topLevelItemCount(); ++i) {
            for (int c = 0; c < viewer.topLevelItem(i)->childCount(); ++c) {
                const QModelIndex label = viewer.model()->index(c, 0, viewer.model()->index(i, 0));
                labelsWhole = labelsWhole && tipAt(viewer, label) == QLatin1String("(none)");
                valuesWhole = valuesWhole && tipAt(viewer, label.siblingAtColumn(1)) == QLatin1String("(none)");
            }
        }
        QVERIFY(labelsWhole);
        QCOMPARE(valuesWhole, room >= 0);
    }
};

TAVIX_TEST_MAIN(TestItemViewText)
#include "tst_itemviewtext.moc"
