#include "Mouse.h"
#include "TestMain.h"
#include "TraceFiles.h"

#include "cursors/CursorWidget.h"
#include "plotter/ChartStyle.h"
#include "plotter/Plotter.h"
#include "plotter/PointRows.h"
#include "widgets/ReadoutNumber.h"

#include <QAbstractItemModelTester>
#include <QMainWindow>
#include <QStatusBar>

#include <KChartCartesianCoordinatePlane>

// Cursors A and B: read-outs in both modes, placement, dragging, arrow keys and the painted letters.
class TestCursors : public QObject {
    Q_OBJECT

    std::unique_ptr<sor::SORParser> parser;
    std::unique_ptr<QMainWindow> window;
    Plotter* plotter = nullptr;
    std::unique_ptr<CursorWidget> cursors;

    // A trace with the given distances and levels, shown with its cursors.
    void show(const std::vector<double>& xs, const std::vector<double>& ys)
    {
        parser = TraceFiles::parse(
            TraceFiles::writeTrace(std::vector<uint16_t>(xs.size(), 1), QStringLiteral("cursors.sor")));
        parser->xy = { xs, ys };
        parser->xyCached = true;
        window = std::make_unique<QMainWindow>();
        plotter = new Plotter;
        window->setCentralWidget(plotter);
        window->resize(1000, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        plotter->plot(parser.get());
        cursors = std::make_unique<CursorWidget>();
        cursors->setUpCursors(parser.get(), plotter);
        QCoreApplication::processEvents();
    }

    void showLine(size_t n = 6)
    {
        std::vector<double> xs, ys;
        for (size_t i = 0; i < n; ++i) {
            xs.push_back(double(i));
            ys.push_back(-9.75 - 0.25 * double(i)); // -10 dB at 1 km, -10.5 dB at 3 km
        }
        show(xs, ys);
    }

    double cursorX(int row) const { return cursors->cursorModel.index(row, 0).data().toDouble(); }

    bool key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, k, modifiers);
        QCoreApplication::sendEvent(&plotter->chart, &event);
        return event.isAccepted();
    }

    void place(double xA, double xB)
    {
        cursors->active = true;
        cursors->hidden = false;
        cursors->setCursor(0, xA);
        cursors->setCursor(1, xB);
    }

private Q_SLOTS:
    void cleanup()
    {
        app()->cursorMode = true;
        cursors.reset();
        window.reset();
        parser.reset();
    }

    void startState()
    {
        showLine();
        QVERIFY(!cursors->active);
        QVERIFY(cursors->hidden);
        QCOMPARE(plotter->cursorWidget, cursors.get());
        QCOMPARE(cursorX(0), 0.0);
        QCOMPARE(cursorX(1), 5.0);
        QCOMPARE(cursors->cursorModel.index(1, 3).data(Qt::UserRole).toInt(), int(chart::CursorMarker));
        QCOMPARE(cursors->cursorModel.headerData(0, Qt::Horizontal, Qt::EditRole).toString(), QStringLiteral("Cursor"));
        cursors->setCursor(0, 2); // hidden: nothing moves
        QCOMPARE(cursorX(0), 0.0);
    }

    void abReadout()
    {
        showLine();
        place(1, 3);
        QCOMPARE(cursors->infoLabel.text(),
            QStringLiteral(
                "<P>&nbsp;Cursor A: (1 km / -10 dB)<br>&nbsp;Cursor B: (3 km / -10.5 dB)<br>&nbsp;Cursor "
                "B-A: (2 km / -0.5 dB)<br>&nbsp;Δx(B-A)/Δy(B-A): -0.25 dB/km<br>&nbsp;LSA: -0.25 dB/km</P>"));
        QVERIFY(cursors->infoLabel.toolTip().isEmpty());
        QCOMPARE(cursors->cursorModel.index(0, 2).data(Qt::ToolTipRole).toString(),
            QStringLiteral("<table><tr><td>X</td><td>1 km</td></tr><tr><td>Y</td><td>-10 "
                           "dB</td></tr><tr><td>M</td><td>A</td></tr></table>"));
    }

    void smartReadoutWithBLeftOfA()
    {
        showLine();
        place(3, 1);
        app()->cursorMode = false;
        emit app()->CursorModeChanged();
        QCOMPARE(cursors->infoLabel.text(),
            QStringLiteral(
                "<P>&nbsp;Segment between cursors: &nbsp;Length: <b>2 km</b><br>&nbsp; from: <b>1.000 km</b> "
                "(-10.00 dB)&nbsp;to <b>3.000 km</b> (-10.50 dB)<br>&nbsp; Attenuation: <b>0.5 dB</b>&nbsp;(<b>0.25 "
                "dB/km</b>)<br>&nbsp; LSA Att.: <b>0.25 dB/km</b></P>"));
        QCOMPARE(cursors->infoLabel.toolTip(),
            QStringLiteral(
                "<P>Full&nbsp;precision&nbsp;cursor&nbsp;positions:<br>from:&nbsp;<b>1&nbsp;km</b>&nbsp;with&nbsp;"
                "<b>-10&nbsp;dB</b><br>to&nbsp;<b>3&nbsp;km</b>&nbsp;with&nbsp;<b>-10.5&nbsp;dB</b></P>"));
    }

    void placementOutsideTheVisibleRangeIsIgnored()
    {
        showLine(101);
        place(10, 20);
        plotter->chart.zoom(4.0f); // shows about 37.5 .. 62.5
        cursors->setCursor(0, 5);
        QCOMPARE(cursorX(0), 10.0);
        cursors->setCursor(0, 50);
        QCOMPARE(cursorX(0), 50.0);
    }

    void ctrlClicks()
    {
        showLine(101);
        const QPoint at = plotter->chart.plane()->translate(QPointF(40, -15)).toPoint();
        Mouse::press(&plotter->chart, at, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!cursors->active); // the modifiers must be exactly ctrl
        Mouse::release(&plotter->chart, at, Qt::LeftButton);
        Mouse::press(&plotter->chart, at, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(cursors->active && !cursors->hidden);
        QVERIFY(std::abs(cursorX(0) - 40) < 0.5);
        Mouse::press(&plotter->chart, at + QPoint(100, 0), Qt::RightButton, Qt::ControlModifier);
        QVERIFY(cursorX(1) > 45);
    }

    void dragging()
    {
        showLine(101);
        place(30, 70);
        auto* plane = plotter->chart.plane();
        const int xA = cursors->_getPos(0).x();
        const int y = plane->translate(QPointF(50, -20)).toPoint().y();
        QVERIFY(
            !Mouse::press(&plotter->chart, QPointF(xA + 3, y), Qt::LeftButton) || plotter->chart.draggedCursor == 0);
        Mouse::release(&plotter->chart, QPointF(xA + 3, y), Qt::LeftButton);
        plane->setZoomFactorX(1); // a missed press may start a rubber band; undo it
        plane->setZoomCenter(QPointF(0.5, 0.5));
        QVERIFY(Mouse::press(&plotter->chart, QPointF(xA + 2, y), Qt::LeftButton));
        QCOMPARE(plotter->chart.draggedCursor, 1);
        QCOMPARE(plotter->chart.cursor().shape(), Qt::SizeHorCursor);
        const int to = plane->translate(QPointF(45, -20)).toPoint().x();
        Mouse::move(&plotter->chart, QPointF(to, y), Qt::LeftButton);
        Mouse::release(&plotter->chart, QPointF(to, y), Qt::LeftButton);
        QCOMPARE(plotter->chart.draggedCursor, 0);
        QVERIFY(std::abs(cursorX(0) - 45) < 0.5);

        // Both within 2 pixels: A wins.
        place(50, 50.001);
        QVERIFY(Mouse::press(&plotter->chart, QPointF(cursors->_getPos(1).x(), y), Qt::LeftButton));
        QCOMPARE(plotter->chart.draggedCursor, 1);
        Mouse::release(&plotter->chart, QPointF(0, y), Qt::LeftButton);

        // Hidden cursors: the press is taken but nothing is dragged.
        cursors->hidden = true;
        QVERIFY(Mouse::press(&plotter->chart, QPointF(cursors->_getPos(0).x(), y), Qt::LeftButton));
        QCOMPARE(plotter->chart.draggedCursor, 0);
    }

    void arrowKeys()
    {
        showLine(11);
        QVERIFY(!key(Qt::Key_Right)); // hidden cursors leave the keys alone
        place(3, 7);
        QVERIFY(key(Qt::Key_Right));
        QCOMPARE(cursorX(0), 4.0);
        QVERIFY(key(Qt::Key_Left));
        QVERIFY(key(Qt::Key_Left));
        QCOMPARE(cursorX(0), 2.0);
        QVERIFY(key(Qt::Key_Right, Qt::ControlModifier));
        QCOMPARE(cursorX(1), 8.0);
        cursors->setCursor(0, 2.5); // between samples: right to the next, left to the one before
        QVERIFY(key(Qt::Key_Right));
        QCOMPARE(cursorX(0), 3.0);
        cursors->setCursor(0, 2.5);
        QVERIFY(key(Qt::Key_Left));
        QCOMPARE(cursorX(0), 2.0);
        cursors->setCursor(0, 0);
        QVERIFY(key(Qt::Key_Left));
        QCOMPARE(cursorX(0), 0.0);
        cursors->setCursor(1, 10);
        QVERIFY(key(Qt::Key_Right, Qt::ControlModifier)); // consumed, nothing to move to
        QCOMPARE(cursorX(1), 10.0);
        QVERIFY(!key(Qt::Key_Up));
        QVERIFY(!key(Qt::Key_Down));
    }

    // The cursor rows change in place; every change is told as it happens.
    void cursorModelPassesTheModelTester()
    {
        showLine(11);
        const QAbstractItemModelTester tester(
            &cursors->cursorModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
        place(3, 7);
        QVERIFY(key(Qt::Key_Right));
        QVERIFY(key(Qt::Key_Left, Qt::ControlModifier));
        QCOMPARE(cursorX(0), 4.0);
        QCOMPARE(cursorX(1), 6.0);
        QCOMPARE(cursors->cursorModel.rowCount(), 2);
        QCOMPARE(cursors->cursorModel.columnCount(), chart::pointColumnCount);
    }

    void hoverReadouts()
    {
        showLine(101);
        auto* plane = plotter->chart.plane();
        const QPoint empty = plane->translate(QPointF(20, -40)).toPoint();
        Mouse::move(&plotter->chart, empty);
        const QPointF data = plane->translateBack(empty);
        QCOMPARE(window->statusBar()->currentMessage(),
            QStringLiteral("X: %1 km  Y: %2 dB").arg(num(data.x()), num(data.y())));
        QVERIFY(plotter->toolTip().endsWith(QStringLiteral("<td>Not a data point</td></tr></table>")));

        const QPoint point = plane->translate(QPointF(20, -14.75)).toPoint();
        Mouse::move(&plotter->chart, point);
        QVERIFY(window->statusBar()->currentMessage().contains(QStringLiteral("  Near point number 20")));
        QCOMPARE(plotter->toolTip(), chart::pointToolTip(20, -14.75, 20));
    }

    void letterCollision()
    {
        QFont font = QApplication::font();
        font.setPointSize(18);
        const QFontMetrics metrics(font);
        const QRect a = metrics.tightBoundingRect(QStringLiteral("A"));
        const QRect b = metrics.tightBoundingRect(QStringLiteral("B"));
        // Far apart: unchanged.
        auto far = chart::separateLetters(QPointF(100, 50), QPointF(200, 50), metrics);
        QCOMPARE(far.first, QPointF(100, 50));
        QCOMPARE(far.second, QPointF(200, 50));
        // Three pixels apart: the left-hand letter moves left by its width plus 6 (A) or 11 (B).
        auto close = chart::separateLetters(QPointF(100, 50), QPointF(103, 50), metrics);
        QCOMPARE(close.first.x(), 100.0 - (a.right() - a.left() + 6));
        QCOMPARE(close.second.x(), 103.0);
        auto swapped = chart::separateLetters(QPointF(103, 50), QPointF(100, 50), metrics);
        QCOMPARE(swapped.first.x(), 103.0);
        QCOMPARE(swapped.second.x(), 100.0 - (b.right() - b.left() + 11));
    }
};

TAVIX_TEST_MAIN(TestCursors)
#include "tst_cursors.moc"
