#include "TestMain.h"

#include "widgets/CItemModel.h"
#include "widgets/CListWidget.h"
#include "widgets/CSplitter.h"
#include "widgets/CTreeWidget.h"
#include "widgets/GWidget.h"
#include "widgets/TightGridLayout.h"

#include <QLabel>
#include <QVBoxLayout>

#include <functional>

namespace {

// Stands in for the main window: records the mouse buttons that reach it.
class Recorder : public QWidget {
public:
    QList<Qt::MouseButton> pressed;
    QList<Qt::MouseButton> released;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed << event->button();
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        released << event->button();
        event->accept();
    }
};

using TargetFactory = std::function<QWidget*(QWidget* parent)>;

QWidget* splitterWithPanes(QWidget* parent)
{
    auto* splitter = new CSplitter(Qt::Horizontal, parent);
    splitter->addWidget(new QLabel(QStringLiteral("left")));
    splitter->addWidget(new QLabel(QStringLiteral("right")));
    return splitter;
}

CTreeWidget* treeWithRows(QWidget* parent)
{
    auto* tree = new CTreeWidget(parent);
    tree->setHeaderLabels({ QStringLiteral("Field"), QStringLiteral("Value") });
    for (int row = 0; row < 3; ++row)
        tree->addTopLevelItem(new QTreeWidgetItem({ QString::number(row), QStringLiteral("value") }));
    return tree;
}

// The widget that receives the click: item views get it on their viewport.
const QMap<QString, TargetFactory>& targets()
{
    static const QMap<QString, TargetFactory> map {
        { QStringLiteral("CSplitter"), [](QWidget* parent) { return splitterWithPanes(parent); } },
        { QStringLiteral("CSplitterHandle"),
            [](QWidget* parent) { return static_cast<QSplitter*>(splitterWithPanes(parent))->handle(1); } },
        { QStringLiteral("CTreeWidget"), [](QWidget* parent) { return treeWithRows(parent)->viewport(); } },
        { QStringLiteral("CHeaderView"), [](QWidget* parent) { return treeWithRows(parent)->header()->viewport(); } },
        { QStringLiteral("CListWidget"),
            [](QWidget* parent) {
                auto* list = new CListWidget(parent);
                list->addItems({ QStringLiteral("one"), QStringLiteral("two") });
                return list->viewport();
            } },
    };
    return map;
}

// A window with the widget under test filling it.
QWidget* placeTarget(Recorder& recorder, const QString& name)
{
    auto* layout = new QVBoxLayout(&recorder);
    auto* holder = new QWidget;
    auto* holderLayout = new QVBoxLayout(holder);
    layout->addWidget(holder);
    QWidget* target = targets().value(name)(holder);
    QWidget* top = target;
    while (top->parentWidget() != holder)
        top = top->parentWidget();
    holderLayout->addWidget(top);
    recorder.resize(300, 200);
    recorder.show();
    return target;
}

} // namespace

class TestWidgetBases : public QObject {
    Q_OBJECT

private slots:
    void classesHaveTheirOwnMetaObjects()
    {
        GWidget gwidget;
        CSplitter splitter;
        CTreeWidget tree;
        CListWidget list;
        CItemModel model;
        QCOMPARE(gwidget.metaObject()->className(), "GWidget");
        QCOMPARE(gwidget.layout->metaObject()->className(), "TightGridLayout");
        QCOMPARE(splitter.metaObject()->className(), "CSplitter");
        QCOMPARE(tree.metaObject()->className(), "CTreeWidget");
        QCOMPARE(tree.header()->metaObject()->className(), "CHeaderView");
        QCOMPARE(list.metaObject()->className(), "CListWidget");
        QCOMPARE(model.metaObject()->className(), "CItemModel");
        QVERIFY(qobject_cast<QStandardItemModel*>(&model));
    }

    void gwidgetShowsItsChildEdgeToEdge()
    {
        GWidget widget;
        QCOMPARE(widget.QWidget::layout(), widget.layout);
        QCOMPARE(widget.layout->contentsMargins(), QMargins(0, 0, 0, 0));
        auto* child = new QLabel(QStringLiteral("trace"));
        widget.layout->addWidget(child);
        widget.resize(240, 120);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCOMPARE(child->geometry(), widget.rect());
    }

    void sideButtonsPassThrough_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("buttonValue");
        for (const QString& name : targets().keys()) {
            QTest::addRow("%s back", qPrintable(name)) << name << int(Qt::BackButton);
            QTest::addRow("%s forward", qPrintable(name)) << name << int(Qt::ForwardButton);
        }
    }

    void sideButtonsPassThrough()
    {
        QFETCH(QString, target);
        QFETCH(int, buttonValue);
        const auto button = Qt::MouseButton(buttonValue);
        Recorder recorder;
        QWidget* widget = placeTarget(recorder, target);
        QVERIFY(QTest::qWaitForWindowExposed(&recorder));

        QTest::mousePress(widget, button);
        QTest::mouseRelease(widget, button);
        QCOMPARE(recorder.pressed, QList<Qt::MouseButton> { button });
        QCOMPARE(recorder.released, QList<Qt::MouseButton> { button });
    }

    // The plain splitter hands every press on; the others keep their ordinary left-button handling.
    void leftButtonStaysWithTheWidget_data()
    {
        QTest::addColumn<QString>("target");
        for (const char* name : { "CSplitterHandle", "CTreeWidget", "CHeaderView", "CListWidget" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void leftButtonStaysWithTheWidget()
    {
        QFETCH(QString, target);
        Recorder recorder;
        QWidget* widget = placeTarget(recorder, target);
        QVERIFY(QTest::qWaitForWindowExposed(&recorder));

        QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(recorder.pressed.isEmpty());
    }

    void leftClickStillSelects()
    {
        Recorder recorder;
        auto* list = qobject_cast<CListWidget*>(placeTarget(recorder, QStringLiteral("CListWidget"))->parentWidget());
        QVERIFY(list);
        QVERIFY(QTest::qWaitForWindowExposed(&recorder));
        const QRect second = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(list->currentRow(), 1);
    }

    void splitterHandlesPassSideButtonsToo_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::newRow("horizontal") << Qt::Horizontal;
        QTest::newRow("vertical") << Qt::Vertical;
    }

    void splitterHandlesPassSideButtonsToo()
    {
        QFETCH(Qt::Orientation, orientation);
        CSplitter splitter(orientation);
        for (int pane = 0; pane < 3; ++pane)
            splitter.addWidget(new QLabel);
        for (int index = 1; index < splitter.count(); ++index) {
            auto* handle = qobject_cast<CSplitterHandle*>(splitter.handle(index));
            QVERIFY(handle);
            QCOMPARE(handle->orientation(), orientation);
            QCOMPARE(handle->splitter(), &splitter);
        }
    }

    void treeHeader()
    {
        CTreeWidget tree;
        auto* header = qobject_cast<CHeaderView*>(tree.header());
        QVERIFY(header);
        QCOMPARE(header->orientation(), Qt::Horizontal);
        QVERIFY(header->sectionsMovable());
        QVERIFY(header->stretchLastSection());
        QCOMPARE(header->defaultAlignment(), Qt::AlignLeft | Qt::AlignVCenter);
    }
};

TAVIX_TEST_MAIN(TestWidgetBases)

#include "tst_widgetbases.moc"
