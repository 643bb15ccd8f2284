// The painted instruments as a user and an assistive technology see them: the values,
// ranges and captions they show, their accessible names and readings, the lamp colours, the
// compass direction, and the connect switch as a real, pressable button.
#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <memory>

#include "instruments/compass.h"
#include "instruments/instrument_label.h"
#include "instruments/lamp.h"
#include "instruments/led_bar.h"
#include "instruments/switch_led.h"
#include "instruments/thermometer.h"
#include "instruments/titled_panel.h"

using WidgetFactory = std::function<QWidget*()>;
Q_DECLARE_METATYPE(WidgetFactory)

namespace {
QImage grabOf(QWidget& w) {
    return w.grab().toImage();
}

bool isNeedleRed(const QColor& c) {
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}
}  // namespace

class TestInstrumentWidgets : public QObject {
    Q_OBJECT
private slots:
    // What AT-SPI reads: the name (set by the window, else the caption, else the objectName)
    // and the reading, as text and, for numeric instruments, as a value with its range.
    void accessibleNameAndReading_data() {
        QTest::addColumn<WidgetFactory>("make");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("minimum");
        QTest::addColumn<QVariant>("maximum");

        QTest::newRow("altitude bar") << WidgetFactory([] {
            auto* w = new LedBar;
            w->setObjectName(QStringLiteral("iLedBarX1"));
            w->setRange(0, 200);
            w->setValue(123.4);
            return w;
        }) << "iLedBarX1"
                                      << "123.4" << QVariant(123.4) << QVariant(0.0)
                                      << QVariant(200.0);
        QTest::newRow("thermometer") << WidgetFactory([] {
            auto* w = new Thermometer;
            w->setAccessibleName(QStringLiteral("温度"));
            w->setRange(0, 50);
            w->setValue(25.1);
            return w;
        }) << "温度"
                                     << "25.1" << QVariant(25.1) << QVariant(0.0) << QVariant(50.0);
        QTest::newRow("compass folds the value") << WidgetFactory([] {
            auto* w = new Compass;
            w->setObjectName(QStringLiteral("iCompassX1"));
            w->setValue(-90);
            return w;
        }) << "iCompassX1"
                                                 << "270.0" << QVariant(270.0) << QVariant(0.0)
                                                 << QVariant(360.0);
        QTest::newRow("lit lamp named by its caption") << WidgetFactory([] {
            auto* w = new Lamp;
            w->setCaption(QStringLiteral("RXD"));
            w->setLit(true);
            return w;
        }) << "RXD"
                                                       << "on" << QVariant(1.0) << QVariant(0.0)
                                                       << QVariant(1.0);
        QTest::newRow("instrument label")
            << WidgetFactory([] { return new InstrumentLabel(nullptr, QStringLiteral("25.1C")); })
            << "25.1C"
            << "25.1C" << QVariant() << QVariant() << QVariant();
        QTest::newRow("titled panel")
            << WidgetFactory([] { return new TitledPanel(nullptr, QStringLiteral("信息显示")); })
            << "信息显示"
            << "信息显示" << QVariant() << QVariant() << QVariant();
    }
    void accessibleNameAndReading() {
        QFETCH(WidgetFactory, make);
        QFETCH(QString, name);
        QFETCH(QString, reading);
        QFETCH(QVariant, value);
        QFETCH(QVariant, minimum);
        QFETCH(QVariant, maximum);
        std::unique_ptr<QWidget> w(make());
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w.get());
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Description), reading);
        QAccessibleValueInterface* v = iface->valueInterface();
        QCOMPARE(v != nullptr, value.isValid());
        if (v) {
            QCOMPARE(v->currentValue().toDouble(), value.toDouble());
            QCOMPARE(v->minimumValue().toDouble(), minimum.toDouble());
            QCOMPARE(v->maximumValue().toDouble(), maximum.toDouble());
        }
    }

    void readingFollowsTheInstrument() {
        Lamp lamp;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&lamp);
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("off"));
        lamp.toggle();
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("on"));
        QCOMPARE(iface->valueInterface()->currentValue().toDouble(), 1.0);
        InstrumentLabel label;
        label.setCaption(QStringLiteral("-3.5C"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&label)->text(QAccessible::Name),
                 QStringLiteral("-3.5C"));
    }

    void switchIsAPressableButton() {
        SwitchLed sw(nullptr, QStringLiteral("连接 AHRS"));
        sw.resize(129, 41);
        QVERIFY(qobject_cast<QAbstractButton*>(&sw));
        QSignalSpy clicks(&sw, &QAbstractButton::clicked);
        QTest::mouseClick(&sw, Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
        QCOMPARE(clicks.count(), 1);
        // The click does not touch lamp or caption: the port check sets them.
        QVERIFY(!sw.isLit());
        QCOMPARE(sw.caption(), QStringLiteral("连接 AHRS"));

        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&sw);
        QCOMPARE(iface->role(), QAccessible::Button);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("连接 AHRS"));
        QAccessibleActionInterface* actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        // The press animates a click: the switch goes down at once and clicks when it comes
        // back up a moment later.
        actions->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(sw.isDown());

        sw.setCaption(QStringLiteral("端口已打开"));
        sw.setLit(true);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("端口已打开"));
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("on"));
        // The lit lamp is red.
        const QImage img = grabOf(sw);
        bool red = false;
        for (int x = 0; x < 40 && !red; ++x)
            red = img.pixelColor(x, 20).red() > 200 && img.pixelColor(x, 20).green() < 60;
        QVERIFY(red);
    }

    void lampColours() {
        Lamp lamp(nullptr, Lamp::Shape::Diamond);
        lamp.resize(16, 16);
        lamp.setLitColor(Qt::red);
        QCOMPARE(lamp.unlitColor(), QColor(57, 0, 0));  // the message lamp's dark red
        const QPoint centre(8, 8);
        QCOMPARE(grabOf(lamp).pixelColor(centre).red() < 120, true);
        lamp.setLit(true);
        QVERIFY(grabOf(lamp).pixelColor(centre).red() > 200);
        lamp.setUnlitColor(QColor(0, 0, 80));
        QCOMPARE(lamp.unlitColor(), QColor(0, 0, 80));
        lamp.setUnlitColor(QColor());
        QCOMPARE(lamp.unlitColor(), QColor(57, 0, 0));
    }

    // A diamond and a round lamp leave their corners free; a rectangle fills them.
    void lampShapes_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("cornerLit");
        QTest::newRow("rectangle") << int(Lamp::Shape::Rectangle) << true;
        QTest::newRow("round") << int(Lamp::Shape::Round) << false;
        QTest::newRow("diamond") << int(Lamp::Shape::Diamond) << false;
    }
    void lampShapes() {
        QFETCH(int, shape);
        QFETCH(bool, cornerLit);
        Lamp lamp(nullptr, Lamp::Shape(shape));
        lamp.resize(20, 20);
        lamp.setLitColor(QColor(0, 255, 0));
        lamp.setLit(true);
        const QColor corner = grabOf(lamp).pixelColor(2, 2);
        QCOMPARE(corner.green() > corner.red() + 50, cornerLit);
    }

    // The needle's red head lies on the side of the heading, and its tip is where the
    // dial says 0 is up, 90 right, 180 down and 270 left.
    void compassPointsAtTheHeading_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QPoint>("direction");
        QTest::newRow("0 up") << 0.0 << QPoint(0, -1);
        QTest::newRow("90 right") << 90.0 << QPoint(1, 0);
        QTest::newRow("180 down") << 180.0 << QPoint(0, 1);
        QTest::newRow("270 left") << 270.0 << QPoint(-1, 0);
        QTest::newRow("-90 left") << -90.0 << QPoint(-1, 0);
        QTest::newRow("450 right") << 450.0 << QPoint(1, 0);
    }
    void compassPointsAtTheHeading() {
        QFETCH(double, value);
        QFETCH(QPoint, direction);
        Compass compass;
        compass.resize(137, 137);
        compass.setValue(value);
        const QPointF c = compass.dialCentre();
        const QPointF tip = compass.needleTip();
        QVERIFY(std::abs((tip - c).x() / compass.dialRadius() - direction.x() * 0.62) < 0.01);
        QVERIFY(std::abs((tip - c).y() / compass.dialRadius() - direction.y() * 0.62) < 0.01);
        const QImage img = grabOf(compass);
        const QPointF head = c + QPointF(direction) * compass.dialRadius() * 0.35;
        const QPointF behind = c - QPointF(direction) * compass.dialRadius() * 0.35;
        QVERIFY(isNeedleRed(img.pixelColor(head.toPoint())));
        QVERIFY(!isNeedleRed(img.pixelColor(behind.toPoint())));
    }

    // The bar lights from its base in its growth direction; outside the range it is empty or
    // full, and the value is kept as set.
    void ledBarFillsFromItsBase_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("fill");
        QTest::addColumn<QPoint>("base");  // a point near the base, lit once the bar has any fill
        QTest::addColumn<QPoint>("tip");   // a point near the far end
        QTest::newRow("up, half") << int(LedBar::Direction::Up) << 100.0 << 0.5 << QPoint(10, 195)
                                  << QPoint(10, 5);
        QTest::newRow("up, above range")
            << int(LedBar::Direction::Up) << 250.0 << 1.0 << QPoint(10, 195) << QPoint(10, 5);
        QTest::newRow("down, half")
            << int(LedBar::Direction::Down) << 100.0 << 0.5 << QPoint(10, 5) << QPoint(10, 195);
        QTest::newRow("right, quarter")
            << int(LedBar::Direction::Right) << 50.0 << 0.25 << QPoint(5, 10) << QPoint(195, 10);
        QTest::newRow("left, below range")
            << int(LedBar::Direction::Left) << -5.0 << 0.0 << QPoint(195, 10) << QPoint(5, 10);
    }
    void ledBarFillsFromItsBase() {
        QFETCH(int, direction);
        QFETCH(double, value);
        QFETCH(double, fill);
        QFETCH(QPoint, base);
        QFETCH(QPoint, tip);
        LedBar bar(nullptr, LedBar::Direction(direction));
        bar.isVertical() ? bar.resize(20, 200) : bar.resize(200, 20);
        bar.setRange(0, 200);
        bar.setValue(value);
        QCOMPARE(bar.value(), value);
        QCOMPARE(bar.fillFraction(), fill);
        QCOMPARE(bar.litSegments(), int(std::floor(fill * bar.segmentCount() + 0.5)));
        const QImage img = grabOf(bar);
        auto lit = [&](QPoint p) {
            return qMax(img.pixelColor(p).red(), img.pixelColor(p).green()) > 150;
        };
        QCOMPARE(lit(base), fill > 0);
        QCOMPARE(lit(tip), fill == 1.0);
    }

    void ledBarSectionsColourByPosition() {
        LedBar bar(nullptr, LedBar::Direction::Right);
        bar.resize(400, 20);
        bar.setRange(900, 2100);  // the PWM channels: sections at 1500 and 1800
        bar.setValue(2100);
        const QImage img = grabOf(bar);
        const QColor low = img.pixelColor(100, 10);
        const QColor middle = img.pixelColor(260, 10);
        const QColor high = img.pixelColor(380, 10);
        QVERIFY(low.green() > 150 && low.red() < 100);
        QVERIFY(middle.green() > 150 && middle.red() > 150);
        QVERIFY(high.red() > 150 && high.green() < 100);
        bar.setRange(5, 5);  // refused
        QCOMPARE(bar.minimum(), 900.0);
    }

    void thermometerColumnReachesTheValue() {
        Thermometer t;
        t.resize(60, 200);
        t.setRange(0, 50);
        t.setValue(25);
        const QRect tube = t.tubeRect();
        QVERIFY(std::abs(t.columnTop() - (tube.bottom() + 1 - tube.height() / 2)) <= 1);
        const QImage img = grabOf(t);
        const int x = tube.center().x();
        QVERIFY(img.pixelColor(x, t.columnTop() + 3).red() > 180);
        QVERIFY(img.pixelColor(x, t.columnTop() + 3).green() < 80);
        QVERIFY(img.pixelColor(x, t.columnTop() - 3).green() > 180);  // glass above
        t.setValue(80);  // above the range: a full column, the value kept
        QCOMPARE(t.columnTop(), tube.top());
        QCOMPARE(t.value(), 80.0);
    }

    void instrumentLabelFitsItsCaption() {
        InstrumentLabel label(nullptr, QStringLiteral("25.1C"));
        label.resize(90, 36);
        const QFont f = label.captionFont();
        QVERIFY(f.pixelSize() >= 20);
        QVERIFY(QFontMetrics(f).horizontalAdvance(label.caption()) <= 90);
        label.setCaption(QStringLiteral("-1234.5C"));
        QVERIFY(QFontMetrics(label.captionFont()).horizontalAdvance(label.caption()) <= 90);
    }

    void panelKeepsChildrenBelowItsTitle() {
        TitledPanel panel(nullptr, QStringLiteral("信息显示"));
        panel.resize(300, 109);
        auto* layout = new QVBoxLayout(&panel);
        auto* child = new QLabel(QStringLiteral("Clear...."));
        layout->addWidget(child);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QVERIFY(child->geometry().top() >= panel.titleBarHeight());
        panel.setTitleVisible(false);
        QCOMPARE(panel.titleBarHeight(), 0);
        QVERIFY(panel.contentsRect().top() < 10);
    }
};

QTEST_MAIN(TestInstrumentWidgets)
#include "tst_instrument_widgets.moc"
