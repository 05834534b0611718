#include "TestMain.h"
#include "TraceFiles.h"

#include "compare/PlotEntity.h"
#include "plotter/PointRows.h"

#include <cmath>

// One trace of a comparison: its decimation, generated colour, file name and tool tips.
class TestPlotEntity : public QObject {
    Q_OBJECT

    static std::unique_ptr<PlotEntity> entityOf(size_t samples, const QString& name = QStringLiteral("trace.sor"),
        const sortest::Fxd& fxd = TraceFiles::oneMetreGrid())
    {
        auto parser
            = TraceFiles::parse(TraceFiles::writeTrace(TraceFiles::ramp(samples), name, sortest::Events(), fxd));
        if (!parser->fileParsed)
            return nullptr;
        return std::make_unique<PlotEntity>(std::move(*parser), nullptr);
    }

    static int filledRows(const QAbstractItemModel& model)
    {
        int n = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            n += model.index(row, 0).data().isValid() ? 1 : 0;
        return n;
    }

    static double cell(const QAbstractItemModel& model, int row, int column)
    {
        return model.index(row, column).data().toDouble();
    }

private Q_SLOTS:
    void cleanup() { TestSupport::resetApplication(); }

    void decimation_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("filled");
        QTest::addColumn<bool>("onePerSample");
        QTest::newRow("599, whole trace") << 599 << 0 << 598 << 599 << 599 << true;
        QTest::newRow("599, part: one row per sample of the part") << 599 << 100 << 199 << 599 << 100 << true;
        QTest::newRow("600, 500 samples: within the budget") << 600 << 50 << 549 << 500 << 500 << true;
        QTest::newRow("600, whole trace: pairs of extremes") << 600 << 0 << 599 << 500 << 500 << false;
        QTest::newRow("9000, part") << 9000 << 1000 << 8999 << 500 << 500 << false;
        QTest::newRow("nothing to plot") << 9000 << 10 << 9 << 0 << 0 << true;
        QTest::newRow("first beyond the trace") << 700 << 800 << 900 << 101 << 0 << true;
    }

    void decimation()
    {
        QFETCH(int, samples);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, rows);
        QFETCH(int, filled);
        QFETCH(bool, onePerSample);
        const auto entity = entityOf(samples);
        QVERIFY(entity);
        const auto& xy = entity->parser.getXY();
        entity->plotIndexRange(first, last, xy[0], xy[1]);
        const TraceModel& m = entity->model;
        QCOMPARE(m.rowCount(), rows);
        QCOMPARE(m.columnCount(), 5);
        QCOMPARE(filledRows(m), filled);
        QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::EditRole).toString(), QStringLiteral(".sor Data"));
        if (filled == 0)
            return;
        QCOMPARE(cell(m, 0, 4), double(first));
        QCOMPARE(m.index(0, 3).data(Qt::UserRole).toInt(), int(chart::TracePoint));
        if (onePerSample) {
            for (int row = 0; row < filled; ++row) {
                QCOMPARE(cell(m, row, 4), double(first + row));
                QCOMPARE(cell(m, row, 1), xy[1][first + row]);
            }
        } else {
            // Strictly increasing sample numbers: no point is drawn twice.
            for (int row = 1; row < filled; ++row)
                QVERIFY(cell(m, row, 4) > cell(m, row - 1, 4));
            QVERIFY(cell(m, filled - 1, 4) <= last);
        }
    }

    void pairsDrawTheExtremesOfTwoBuckets()
    {
        const auto entity = entityOf(9000);
        QVERIFY(entity);
        std::vector<double> xs(9000);
        std::vector<double> ys(9000, -5);
        for (size_t i = 0; i < xs.size(); ++i)
            xs[i] = i / 1000.0;
        // 9000 samples in 500 rows: buckets of 18, pair windows of 36 samples.
        ys[35] = 0; // the last sample of the first pair's second bucket still counts
        ys[40] = -9; // second pair: the minimum comes first ...
        ys[50] = 3; // ... then the maximum
        ys[72] = 7; // third pair: the maximum at the window start, then equal values
        entity->plotIndexRange(0, 8999, xs, ys);
        const TraceModel& m = entity->model;
        QCOMPARE(m.rowCount(), 500);
        QCOMPARE(cell(m, 0, 1), -5.0);
        QCOMPARE(cell(m, 1, 1), 0.0);
        QCOMPARE(cell(m, 2, 1), -9.0);
        QCOMPARE(cell(m, 3, 1), 3.0);
        QCOMPARE(cell(m, 4, 1), 7.0);
        QCOMPARE(cell(m, 5, 1), -5.0);
        // Each row stays at its bucket start; its tool tip shows that raw sample.
        QCOMPARE(cell(m, 1, 0), xs[18]);
        QCOMPARE(cell(m, 1, 4), 18.0);
        QCOMPARE(cell(m, 2, 0), xs[36]);
        const QString tip = m.index(1, 2).data(Qt::ToolTipRole).toString();
        QCOMPARE(tip,
            QStringLiteral("<table><tr><td>X</td><td>0.018 km</td></tr><tr><td>Y</td><td>-5 dB</td></tr><tr><td>#</td>"
                           "<td>18</td></tr><tr><td>📁</td><td>trace.sor</td></tr></table>"));
    }

    void generatedColour_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("0") << 0u << QColor(123, 65, 205);
        QTest::newRow("1") << 1u << QColor(123, 65, 205);
        QTest::newRow("2147483647") << 2147483647u << QColor(123, 65, 205);
        QTest::newRow("2^32 - 1, which is 1 modulo the generator's modulus") << 4294967295u << QColor(123, 65, 205);
        QTest::newRow("42") << 42u << QColor(113, 2, 205);
        QTest::newRow("7") << 7u << QColor(144, 71, 205);
        QTest::newRow("1804289383") << 1804289383u << QColor(32, 45, 222);
    }

    void generatedColour()
    {
        QFETCH(quint32, seed);
        QFETCH(QColor, colour);
        QCOMPARE(PlotEntity::generatedColour(seed), colour);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("slashes") << "/data/fibre/a.sor"
                                 << "a.sor";
        QTest::newRow("relative") << "runs/b.sor"
                                  << "b.sor";
        QTest::newRow("no slash") << "c.sor"
                                  << "c.sor";
        QTest::newRow("backslashes only") << "C:\\traces\\d.sor"
                                          << "C:\\traces\\d.sor";
        QTest::newRow("trailing slash") << "/data/"
                                        << "";
    }

    void fileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(PlotEntity::fileNameOf(path.toStdWString()), name);
    }

    void toolTipKeepsTheFileNameAsItIs()
    {
        // A "%1" or a "<" in the name must neither be filled in nor break the table.
        const auto entity = entityOf(10, QStringLiteral("run%1<b>.sor"));
        QVERIFY(entity);
        const auto& xy = entity->parser.getXY();
        entity->plotIndexRange(0, 9, xy[0], xy[1]);
        const QString tip = entity->model.index(3, 2).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.endsWith(QStringLiteral("<td>📁</td><td>run%1&lt;b&gt;.sor</td></tr></table>")), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("<td>#</td><td>3</td>")));
    }

    void distancesThatAreNotNumbersStayOutOfTheModel()
    {
        sortest::Fxd fxd = TraceFiles::oneMetreGrid();
        fxd.indexRefraction = 0;
        const auto entity = entityOf(700, QStringLiteral("ior0.sor"), fxd);
        QVERIFY(entity);
        const auto& xy = entity->parser.getXY();
        entity->plotIndexRange(0, 699, xy[0], xy[1]);
        QCOMPARE(filledRows(entity->model), 0);

        const auto empty = entityOf(0, QStringLiteral("empty.sor"));
        QVERIFY(empty);
        const auto& none = empty->parser.getXY();
        empty->plotIndexRange(0, 0, none[0], none[1]);
        QCOMPARE(filledRows(empty->model), 0);
    }
};

TAVIX_TEST_MAIN(TestPlotEntity)
#include "tst_plotentity.moc"
