#include "TestMain.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>

namespace {

// The tab close cross as the style draws it into a transparent 32x32 picture.
QImage drawCross(QStyle::State state, const QWidget* widget)
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QStyleOption option;
    option.rect = image.rect();
    option.state = state;
    QPainter painter(&image);
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorTabClose, &option, &painter, widget);
    painter.end();
    return image;
}

void setButtonColour(const QColor& colour)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::All, QPalette::Button, colour);
    QApplication::setPalette(palette);
}

} // namespace

class TestAppStyle : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(TestSupport::installIcons()); }

    void cleanup()
    {
        TestSupport::resetApplication();
        TestSupport::removeIcons();
    }

    void closeCrossColour_data()
    {
        QTest::addColumn<QColor>("button");
        QTest::addColumn<bool>("underMouse");
        QTest::addColumn<QColor>("cross");
        const QColor black(Qt::black), white(Qt::white), red(Qt::red);
        QTest::newRow("bright button") << QColor("#f0f0f0") << false << black;
        QTest::newRow("dark button") << QColor("#333333") << false << white;
        QTest::newRow("luminance just above half") << QColor(128, 128, 128) << false << black;
        QTest::newRow("luminance just below half") << QColor(127, 127, 127) << false << white;
        QTest::newRow("saturated blue is dark") << QColor(0, 0, 255) << false << white;
        QTest::newRow("yellow is light") << QColor(255, 255, 0) << false << black;
        QTest::newRow("hovered on bright") << QColor("#f0f0f0") << true << red;
        QTest::newRow("hovered on dark") << QColor("#333333") << true << red;
    }

    void closeCrossColour()
    {
        QFETCH(QColor, button);
        QFETCH(bool, underMouse);
        QFETCH(QColor, cross);

        setButtonColour(button);
        QWidget widget;
        widget.setAttribute(Qt::WA_UnderMouse, underMouse);
        const QImage image = drawCross(QStyle::State_Enabled | QStyle::State_Raised, &widget);
        QCOMPARE(TestSupport::drawnColour(image), cross);
        // Centred: the middle of the cross is drawn, the corners are not.
        QVERIFY(qAlpha(image.pixel(16, 16)) > 128);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

    // Disabled, pressed and plain states give other icon modes, but the recolouring keeps the cross readable.
    void closeCrossStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("raised") << int(QStyle::State_Enabled | QStyle::State_Raised);
        QTest::newRow("selected") << int(QStyle::State_Enabled | QStyle::State_Selected);
        QTest::newRow("sunken") << int(QStyle::State_Enabled | QStyle::State_Sunken);
        QTest::newRow("enabled only") << int(QStyle::State_Enabled);
        QTest::newRow("disabled") << int(QStyle::State_None);
    }

    void closeCrossStates()
    {
        QFETCH(int, state);
        app()->theme = Application::Dark;
        app()->_setTheme();
        QCOMPARE(TestSupport::drawnColour(drawCross(QStyle::State(state), nullptr)), QColor(Qt::white));
    }

    void closeButtonOfATabBarFollowsTheTheme_data()
    {
        QTest::addColumn<int>("theme");
        QTest::addColumn<QColor>("cross");
        QTest::newRow("bright") << int(Application::Bright) << QColor(Qt::black);
        QTest::newRow("dark") << int(Application::Dark) << QColor(Qt::white);
    }

    void closeButtonOfATabBarFollowsTheTheme()
    {
        QFETCH(int, theme);
        QFETCH(QColor, cross);
        app()->theme = theme;
        app()->_setTheme();

        QTabBar bar;
        bar.setTabsClosable(true);
        bar.addTab(QStringLiteral("trace.sor"));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QWidget* button = bar.tabButton(0, QTabBar::RightSide);
        QVERIFY(button);
        const QImage image = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        int crossPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                crossPixels += QColor(image.pixel(x, y)) == cross;
        QVERIFY2(crossPixels >= 10, qPrintable(QString::number(crossPixels)));
    }

    void closeCrossWithoutIconFile()
    {
        TestSupport::removeIcons();
        const QImage image = drawCross(QStyle::State_Enabled | QStyle::State_Raised, nullptr);
        QVERIFY(!TestSupport::drawnColour(image).isValid());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    }

    void otherElementsAreFusions()
    {
        QScopedPointer<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        QVERIFY(fusion);
        QStyleOptionButton option;
        option.rect = QRect(0, 0, 20, 20);
        option.state = QStyle::State_Enabled | QStyle::State_On;
        option.palette = QApplication::palette();

        QImage ours(20, 20, QImage::Format_ARGB32_Premultiplied);
        QImage theirs(20, 20, QImage::Format_ARGB32_Premultiplied);
        ours.fill(Qt::transparent);
        theirs.fill(Qt::transparent);
        {
            QPainter painter(&ours);
            QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
        }
        {
            QPainter painter(&theirs);
            fusion->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
        }
        QCOMPARE(ours, theirs);
    }
};

TAVIX_TEST_MAIN(TestAppStyle)

#include "tst_appstyle.moc"
