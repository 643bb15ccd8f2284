// The instrument's arithmetic: bank texts to turning angles, pitch texts to the image window,
// the three corner points of the turned image and the aircraft symbol's rectangles.
#include <QtTest>

#include "graphics/attitude_geometry.h"

using namespace Attitude;

class TestAttitudeGeometry : public QObject {
    Q_OBJECT
private slots:
    void bankAngle_data();
    void bankAngle();
    void sourceRow_data();
    void sourceRow();
    void turnedCorners_data();
    void turnedCorners();
    void cornersBeyond32BitsAreRefused();
    void centreOfTheSurface();
    void aircraftSymbol();
};

void TestAttitudeGeometry::bankAngle_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("angle");  // -1: no value, the image stays unturned
    QTest::newRow("zero") << "0" << 360;
    QTest::newRow("roll +30") << "-30" << 330;
    QTest::newRow("roll -30") << "30" << 390;
    QTest::newRow("remainder keeps the sign") << "-390" << 330;
    QTest::newRow("-29.5 to even") << "-29.5" << 330;
    QTest::newRow("28.5 to even") << "28.5" << 388;
    QTest::newRow("27.5 to even") << "27.5" << 388;
    QTest::newRow("just below a turn") << "359.4" << 719;
    QTest::newRow("lowest") << "-359" << 1;
    QTest::newRow("-359.5 to even is a whole turn") << "-359.5" << 360;
    QTest::newRow("trailing text") << "-12.5abc" << 348;
    QTest::newRow("no number") << "abc" << 360;
    QTest::newRow("empty") << "" << 360;
    QTest::newRow("largest 32-bit") << "2147483647" << 2147483647 % 360 + 360;
    QTest::newRow("beyond 32 bits") << "1e10" << -1;
    QTest::newRow("beyond 32 bits, negative") << "-2147483649" << -1;
}

void TestAttitudeGeometry::bankAngle() {
    QFETCH(QString, text);
    QFETCH(int, angle);
    const auto got = Attitude::bankAngle(text);
    if (angle < 0) {
        QVERIFY(!got);
    } else {
        QVERIFY(got);
        QCOMPARE(*got, angle);
    }
}

void TestAttitudeGeometry::sourceRow_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("row");
    QTest::newRow("level") << "0" << true << -1;
    QTest::newRow("10 up") << "10" << true << -28;
    QTest::newRow("90 up") << "90" << true << -244;
    QTest::newRow("90 down") << "-90" << true << 242;
    QTest::newRow("fraction") << "3.7" << true << -11;  // -9.99 - 1 = -10.99
    QTest::newRow("no number") << "up" << true << -1;
    QTest::newRow("beyond 32 bits") << "1e12" << false << 0;
}

void TestAttitudeGeometry::sourceRow() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, row);
    const auto got = Attitude::sourceRow(text);
    QCOMPARE(bool(got), valid);
    if (valid) QCOMPARE(*got, row);
}

void TestAttitudeGeometry::turnedCorners_data() {
    QTest::addColumn<int>("cx");
    QTest::addColumn<int>("cy");
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QPoint>("p0");
    QTest::addColumn<QPoint>("p1");
    QTest::addColumn<QPoint>("p2");
    // The horizon image about the centre of Piczitai.
    QTest::newRow("unturned") << 78 << 58 << 0 << 200 << 1000 << QPoint(-22, -442)
                              << QPoint(178, -442) << QPoint(-22, 558);
    QTest::newRow("whole turn") << 78 << 58 << 360 << 200 << 1000 << QPoint(-22, -442)
                                << QPoint(178, -442) << QPoint(-22, 558);
    QTest::newRow("330") << 78 << 58 << 330 << 200 << 1000 << QPoint(-259, -325)
                         << QPoint(-85, -425) << QPoint(241, 541);
    QTest::newRow("390") << 78 << 58 << 390 << 200 << 1000 << QPoint(241, -425) << QPoint(415, -325)
                         << QPoint(-259, 441);
    QTest::newRow("45") << 78 << 58 << 45 << 200 << 1000 << QPoint(361, -366) << QPoint(502, -225)
                        << QPoint(-346, 341);
    QTest::newRow("90") << 78 << 58 << 90 << 200 << 1000 << QPoint(578, -42) << QPoint(578, 158)
                        << QPoint(-422, -42);
    QTest::newRow("180") << 78 << 58 << 180 << 200 << 1000 << QPoint(178, 558) << QPoint(-22, 558)
                         << QPoint(178, -442);
    QTest::newRow("719") << 78 << 58 << 719 << 200 << 1000 << QPoint(-31, -440) << QPoint(169, -444)
                         << QPoint(-13, 560);
    // The instrument's own pi (3.14159265238) shows only at huge angles: a billion degrees
    // lands 3 pixels away from the same angle taken modulo 360 with the true pi.
    QTest::newRow("own pi") << 78 << 58 << 1000000000 << 200 << 1000 << QPoint(-432, 73)
                            << QPoint(-398, -124) << QPoint(554, 240);
    // Odd sizes: int(-78.5) and int(-58.5) go to the even neighbours -78 and -58.
    QTest::newRow("odd size halves to even")
        << 0 << 0 << 0 << 157 << 117 << QPoint(-78, -58) << QPoint(79, -58) << QPoint(-78, 59);
    // sin 30 degrees is a hair below 0.5 in double precision and exactly 0.5 in single;
    // the lower-left x lands on -1.5 and goes to -2 only with the single-precision sine.
    QTest::newRow("single-precision sine")
        << 0 << 0 << 30 << 1 << 5 << QPoint(1, -2) << QPoint(2, -1) << QPoint(-2, 3);
}

void TestAttitudeGeometry::turnedCorners() {
    QFETCH(int, cx);
    QFETCH(int, cy);
    QFETCH(int, angle);
    QFETCH(int, width);
    QFETCH(int, height);
    const auto p = Attitude::turnedCorners(cx, cy, angle, width, height);
    QVERIFY(p);
    QTEST((*p)[0], "p0");
    QTEST((*p)[1], "p1");
    QTEST((*p)[2], "p2");
}

void TestAttitudeGeometry::cornersBeyond32BitsAreRefused() {
    QVERIFY(!Attitude::turnedCorners(2147483600, 0, 0, 200, 1000));
    QVERIFY(Attitude::turnedCorners(2147483547, 0, 0, 200, 1000));  // 2147483547 + 100 fits
}

void TestAttitudeGeometry::centreOfTheSurface() {
    QCOMPARE(surfaceCentre(157, 117), QPoint(78, 58));  // 78.5 and 58.5 both to even
    QCOMPARE(surfaceCentre(155, 119), QPoint(78, 60));  // 77.5 and 59.5 both to even
}

void TestAttitudeGeometry::aircraftSymbol() {
    const auto rects = Attitude::aircraftSymbol(SurfaceWidth, SurfaceHeight);
    // Filled pixel boxes on the 157 x 117 surface, edges included: white borders first.
    const QRect expected[10] = {
        QRect(QPoint(8, 56), QPoint(54, 64)),    QRect(QPoint(47, 56), QPoint(54, 72)),
        QRect(QPoint(103, 56), QPoint(149, 64)), QRect(QPoint(103, 56), QPoint(110, 72)),
        QRect(QPoint(73, 56), QPoint(84, 64)),   QRect(QPoint(10, 58), QPoint(52, 62)),
        QRect(QPoint(49, 58), QPoint(52, 70)),   QRect(QPoint(105, 58), QPoint(147, 62)),
        QRect(QPoint(105, 58), QPoint(108, 70)), QRect(QPoint(75, 58), QPoint(82, 62)),
    };
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(rects[i].white, i < 5);
        QCOMPARE(filledPixels(rects[i]), expected[i]);
        if (i < 5) {  // each border is its black shape grown by 2 on every side
            QCOMPARE(rects[i].x1, rects[i + 5].x1 - 2);
            QCOMPARE(rects[i].y1, rects[i + 5].y1 - 2);
            QCOMPARE(rects[i].x2, rects[i + 5].x2 + 2);
            QCOMPARE(rects[i].y2, rects[i + 5].y2 + 2);
        }
    }
    // Real corners, not pixel ones: the left drop starts SH/35 left of the third.
    QCOMPARE(rects[6].x1, 157.0 / 3 - 117.0 / 35);
    QCOMPARE(rects[9].y2, 117.0 / 2 + 117.0 / 30);
}

QTEST_APPLESS_MAIN(TestAttitudeGeometry)
#include "tst_attitude_geometry.moc"
