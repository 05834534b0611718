#include "TestMain.h"

#include "plotter/PointRows.h"
#include "plotter/TraceDiagram.h"
#include "plotter/TraceModel.h"

#include <QAbstractItemModelTester>
#include <QStandardItemModel>

#include <KChartCartesianCoordinatePlane>
#include <KChartChart>
#include <KChartPlotter>

#include <cmath>
#include <limits>
#include <memory>

// The trace diagram against KChart's own Plotter on the same rows: the same pixels, the same rows under the pointer.
class TestTraceDiagram : public QObject {
    Q_OBJECT

    enum Shape { Flat, Steep, Noisy, Blanks };

    struct Shown {
        std::unique_ptr<KChart::Chart> chart;
        KChart::AbstractDiagram* diagram = nullptr;
    };

    static double level(Shape shape, int i)
    {
        switch (shape) {
        case Flat: // most neighbours on one pixel
            return -12.5 + 1e-5 * i;
        case Steep:
            return -0.4 * i;
        case Noisy:
        case Blanks:
            return -0.01 * i + ((i * 7919) % 97) * 0.05;
        }
        return 0;
    }

    static bool blank(Shape shape, int i) { return shape == Blanks && (i % 97 < 5 || i % 11 == 0); }

    // Both diagrams over the same rows, in charts of the same size, zoomed into the same part when asked.
    static Shown show(KChart::AbstractDiagram* diagram, bool zoomed)
    {
        Shown s;
        s.chart = std::make_unique<KChart::Chart>();
        s.chart->resize(1200, 700);
        auto* plane = static_cast<KChart::CartesianCoordinatePlane*>(s.chart->coordinatePlane());
        plane->replaceDiagram(diagram);
        s.diagram = diagram;
        if (zoomed) {
            plane->setZoomFactorX(7);
            plane->setZoomFactorY(3);
            plane->setZoomCenter(QPointF(0.3, 0.6));
        }
        s.chart->show();
        return s;
    }

    QStandardItemModel plainModel;
    TraceModel traceModel;

    void fill(Shape shape, int rows)
    {
        plainModel.clear();
        plainModel.setRowCount(rows);
        plainModel.setColumnCount(5);
        traceModel.reset(rows);
        for (int i = 0; i < rows; ++i) {
            if (blank(shape, i))
                continue;
            const double x = 0.01 * i;
            const double y = level(shape, i);
            chart::setPointRow(plainModel, i, x, y, chart::pointToolTip(x, y, unsigned(i)), chart::TracePoint, i);
            traceModel.setRow(i, x, y, y, uint32_t(i), i);
        }
    }

private Q_SLOTS:
    void samePicturesAndRows_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<bool>("dark");
        QTest::newRow("flat") << int(Flat) << 3000 << false << false;
        QTest::newRow("steep, few rows") << int(Steep) << 40 << false << false;
        QTest::newRow("steep, many rows, dark") << int(Steep) << 3000 << false << true;
        QTest::newRow("noisy") << int(Noisy) << 3000 << false << false;
        QTest::newRow("noisy, dark") << int(Noisy) << 3000 << false << true;
        QTest::newRow("blank rows") << int(Blanks) << 3000 << false << false;
        QTest::newRow("blank rows, zoomed, dark") << int(Blanks) << 3000 << true << true;
        QTest::newRow("noisy, zoomed") << int(Noisy) << 3000 << true << false;
        QTest::newRow("one row") << int(Flat) << 1 << false << false;
    }

    void samePicturesAndRows()
    {
        QFETCH(int, shape);
        QFETCH(int, rows);
        QFETCH(bool, zoomed);
        QFETCH(bool, dark);
        if ((app()->theme == Application::Dark) != dark)
            app()->toggleTheme();
        fill(Shape(shape), rows);
        const QPen pen(app()->graphColour);

        auto* plain = new KChart::Plotter;
        plain->setModel(&plainModel);
        plain->setPen(pen);
        auto* ours = new TraceDiagram;
        ours->setModel(&traceModel);
        ours->rowsRefilled();
        ours->setPen(pen);
        const Shown a = show(plain, zoomed);
        const Shown b = show(ours, zoomed);
        QVERIFY(QTest::qWaitForWindowExposed(a.chart.get()));
        QVERIFY(QTest::qWaitForWindowExposed(b.chart.get()));

        QCOMPARE(ours->dataBoundaries(), plain->dataBoundaries());
        const QImage expected = a.chart->grab().toImage();
        const QImage actual = b.chart->grab().toImage();
        QCOMPARE(actual.size(), expected.size());
        const QRgb background = expected.pixel(0, 0);
        int differing = 0;
        int inked = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                differing += expected.pixel(x, y) != actual.pixel(x, y);
                inked += expected.pixel(x, y) != background;
            }
        QCOMPARE(differing, 0);
        QCOMPARE(inked > 0, rows > 1);

        // Every third pixel over the plot area; KChart's boxes are polygons whose edges the point test may round
        // either way, so a pointer exactly on a box corner may differ.
        const QRect area = a.chart->coordinatePlane()->geometry();
        int hits = 0;
        int disagreeing = 0;
        for (int y = area.top(); y < area.bottom(); y += 3)
            for (int x = area.left(); x < area.right(); x += 3) {
                const QModelIndex want = plain->indexAt(QPoint(x, y));
                const QModelIndex got = ours->indexAt(QPoint(x, y));
                hits += want.isValid();
                disagreeing += want.row() != got.row() || want.isValid() != got.isValid();
            }
        if (rows > 1)
            QVERIFY(hits > 0);
        QVERIFY2(disagreeing * 200 <= hits, qPrintable(QStringLiteral("%1 of %2").arg(disagreeing).arg(hits)));
    }

    void lazyToolTipAndBlankRows()
    {
        TraceModel m;
        m.setToolTipTail(QStringLiteral("</td></tr><tr><td>📁</td><td>a &amp; b</td></tr></table>"));
        m.reset(3);
        m.setRow(1, 2.5, -3, -2, 42, 7);
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.columnCount(), 5);
        QVERIFY(!m.index(0, 0).data().isValid());
        QVERIFY(!m.index(2, 2).data(Qt::ToolTipRole).isValid());
        QCOMPARE(m.index(1, 0).data().toDouble(), 2.5);
        QCOMPARE(m.index(1, 1).data().toDouble(), -3.0);
        QCOMPARE(m.index(1, 3).data(Qt::UserRole).toInt(), int(chart::TracePoint));
        QCOMPARE(m.index(1, 4).data().toDouble(), 7.0);
        QCOMPARE(m.index(1, 2).data(Qt::ToolTipRole).toString(),
            chart::pointToolTip(
                2.5, -2, 42, QStringLiteral("</td></tr><tr><td>📁</td><td>a &amp; b</td></tr></table>")));
        QCOMPARE(m.bounds(), qMakePair(QPointF(2.5, -3), QPointF(2.5, -3)));
        QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral(".sor Data"));
        m.reset(0);
        QVERIFY(std::isnan(m.bounds().first.x()));
    }

    // Refilled with its signals blocked, the model must be consistent whenever its diagram reads it again.
    void modelTesterAcceptsEveryFill_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << int(Flat) << 0;
        QTest::newRow("one row") << int(Steep) << 1;
        QTest::newRow("blank rows") << int(Blanks) << 500;
    }

    void modelTesterAcceptsEveryFill()
    {
        QFETCH(int, shape);
        QFETCH(int, rows);
        fill(Shape(shape), rows);
        const QAbstractItemModelTester tester(&traceModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(traceModel.rowCount(), rows);
        QCOMPARE(traceModel.columnCount(), int(TraceModel::ColumnCount));
        int filled = 0;
        for (int row = 0; row < rows; ++row) {
            const QModelIndex kind = traceModel.index(row, TraceModel::KindColumn);
            filled += kind.data(TraceModel::KindRole).isValid();
            QCOMPARE(traceModel.index(row, TraceModel::XColumn).data().isValid(), !blank(Shape(shape), row));
        }
        QCOMPARE(filled > 0, rows > 0);
    }
};

TAVIX_TEST_MAIN(TestTraceDiagram)
#include "tst_tracediagram.moc"
