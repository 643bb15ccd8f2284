// Tick steps and labels of the instrument scales and chart axes.
#include <QTest>

#include "instruments/axis_ticks.h"

class TestAxisTicks : public QObject {
    Q_OBJECT
private slots:
    void niceStepRoundsUpTo125_data() {
        QTest::addColumn<double>("raw");
        QTest::addColumn<double>("step");
        QTest::newRow("1") << 1.0 << 1.0;
        QTest::newRow("1.2") << 1.2 << 2.0;
        QTest::newRow("3") << 3.0 << 5.0;
        QTest::newRow("7") << 7.0 << 10.0;
        QTest::newRow("0.03") << 0.03 << 0.05;
        QTest::newRow("250") << 250.0 << 500.0;
    }
    void niceStepRoundsUpTo125() {
        QFETCH(double, raw);
        QFETCH(double, step);
        QCOMPARE(niceStep(raw), step);
    }

    void ticksCoverTheRange() {
        const AxisTicks t = niceTicks(0, 200, 10);
        QCOMPARE(t.step, 20.0);
        QCOMPARE(t.first, 0.0);
        QCOMPARE(t.count, 11);  // both ends included
        QCOMPARE(t.decimals, 0);
        const AxisTicks f = niceTicks(-0.33, 0.41, 8);
        QCOMPARE(f.step, 0.1);
        QCOMPARE(f.decimals, 1);
        QCOMPARE(tickText(f.at(0), f.decimals), QStringLiteral("-0.3"));
        QCOMPARE(tickText(f.at(3), f.decimals), QStringLiteral("0.0"));  // never "-0.0"
        QCOMPARE(niceTicks(5, 5, 10).count, 0);
    }

    void clockTicksUseClockSteps() {
        QCOMPARE(clockTicks(0, 100, 4).step, 30.0);
        QCOMPARE(clockTicks(0, 3 * 3600, 4).step, 3600.0);
        QCOMPARE(clockTicks(0, 2, 4).step, 0.5);
    }

    void clockText_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << 0.0 << 0 << "00:00:00";
        QTest::newRow("afternoon") << 13 * 3600.0 + 5 * 60 + 9 << 0 << "13:05:09";
        QTest::newRow("wraps after a day") << 86400.0 + 61 << 0 << "00:01:01";
        QTest::newRow("before midnight") << -1.0 << 0 << "23:59:59";
        QTest::newRow("tenths") << 12.5 << 1 << "00:00:12.5";
    }
    void clockText() {
        QFETCH(double, seconds);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(::clockText(seconds, decimals), text);
    }
};

QTEST_APPLESS_MAIN(TestAxisTicks)
#include "tst_axis_ticks.moc"
