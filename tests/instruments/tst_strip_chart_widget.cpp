// The strip chart as the user meets it: following the newest samples, zooming and dragging
// with the mouse, hidden channels that keep collecting, automatic scaling, and what lands
// on screen (pixels of a grab).
#include <QAccessible>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "instruments/strip_chart.h"

namespace {
const QColor kBackground(84, 84, 84);

void wheel(QWidget& w, QPoint pos, int notches, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWheelEvent e(QPointF(pos), QPointF(w.mapToGlobal(pos)), QPoint(), QPoint(0, 120 * notches),
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
}

void drag(QWidget& w, QPoint from, QPoint to) {
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, from);
    // Several moves, as a real drag delivers them.
    for (int i = 1; i <= 4; ++i) QTest::mouseMove(&w, from + (to - from) * i / 4);
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, to);
}

int countColor(const QImage& img, const QRect& area, const QColor& c) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == c) ++n;
    return n;
}

// The 12-channel chart of the main window, 793 x 337.
struct MainChart {
    StripChart chart{nullptr, 12};
    MainChart() {
        chart.resize(793, 337);
        chart.setBackgroundColor(kBackground);
        for (int i = 0; i < 12; ++i) chart.setChannelColor(i, QColor::fromHsv(i * 30, 255, 255));
    }
    void feed(int samples, double (*f)(int ch, int i)) {
        for (int i = 0; i < samples; ++i)
            for (int ch = 0; ch < 12; ++ch) chart.addPoint(ch, f(ch, i));
    }
};
double sine(int ch, int i) {
    return 100 * std::sin(i * 0.05 + ch);
}
}  // namespace

class TestStripChartWidget : public QObject {
    Q_OBJECT
private slots:
    void followsTheNewestSample() {
        MainChart m;
        m.chart.setTimeSpan(500);
        m.feed(100, sine);
        // A short history starts at the left edge...
        QCOMPARE(m.chart.visibleTimeRange(), (AxisRange{0, 500}));
        m.feed(900, sine);
        // ...a long one keeps the newest sample at the right edge.
        QCOMPARE(m.chart.visibleTimeRange(), (AxisRange{499, 999}));
        m.chart.addPoint(0, 1.0);
        QCOMPARE(m.chart.visibleTimeRange().to, 1000.0);
    }

    void dragLeavesFollowingUntilFollowNewest() {
        MainChart m;
        m.feed(2000, sine);
        const QRect plot = m.chart.plotRect();
        const AxisRange before = m.chart.visibleTimeRange();
        drag(m.chart, plot.center(), plot.center() + QPoint(plot.width() / 2, 0));
        QVERIFY(!m.chart.isFollowing());
        const AxisRange panned = m.chart.visibleTimeRange();
        // Dragging right by half the plot shows data half a window older.
        QVERIFY(std::abs(panned.from - (before.from - before.length() / 2)) < 2);
        QVERIFY(m.chart.isAutoScaling());  // a level drag leaves the value axis alone
        m.feed(100, sine);
        QCOMPARE(m.chart.visibleTimeRange(), panned);  // the past stays put as data arrives
        m.chart.followNewest();
        QVERIFY(m.chart.isFollowing());
        QCOMPARE(m.chart.visibleTimeRange().to, 2099.0);
    }

    void verticalDragPansTheValues() {
        MainChart m;
        m.feed(600, sine);
        const QRect plot = m.chart.plotRect();
        const AxisRange before = m.chart.visibleValueRange();
        drag(m.chart, plot.center(), plot.center() + QPoint(0, plot.height() / 4));
        QVERIFY(!m.chart.isAutoScaling());
        const AxisRange after = m.chart.visibleValueRange();
        // The trace moves down with the pointer: the range moves up by a quarter.
        QVERIFY(std::abs(after.from - (before.from + before.length() / 4)) < before.length() / 50);
        QVERIFY(std::abs(after.length() - before.length()) < 1e-9);
        m.chart.followNewest();
        QVERIFY(m.chart.isAutoScaling());
    }

    void wheelZoomsTheAxisUnderThePointer() {
        MainChart m;
        m.chart.setTimeSpan(500);
        m.feed(3000, sine);
        const QRect plot = m.chart.plotRect();
        // Following: zooming keeps the newest sample at the right edge.
        wheel(m.chart, plot.center(), 2);
        QVERIFY(m.chart.isFollowing());
        QVERIFY(std::abs(m.chart.timeSpan() - 500 * 0.8 * 0.8) < 1e-6);
        QCOMPARE(m.chart.visibleTimeRange().to, 2999.0);
        // In the past: the x under the pointer stays under it.
        drag(m.chart, plot.center(), plot.center() + QPoint(100, 0));
        const QPoint at(plot.left() + plot.width() / 4, plot.center().y());
        const AxisRange r = m.chart.visibleTimeRange();
        const double anchor = r.from + r.length() / 4;
        wheel(m.chart, at, -3);  // zoom out
        const AxisRange z = m.chart.visibleTimeRange();
        QVERIFY(z.length() > r.length() * 1.9);
        QVERIFY(std::abs((z.from + z.length() / 4) - anchor) < z.length() / 100);
        // Over the value axis the wheel zooms the values and stops automatic scaling.
        const AxisRange v = m.chart.visibleValueRange();
        wheel(m.chart, QPoint(plot.left() - 10, plot.center().y()), 1);
        QVERIFY(!m.chart.isAutoScaling());
        QVERIFY(std::abs(m.chart.visibleValueRange().length() - v.length() * 0.8) < 1e-6);
        QCOMPARE(m.chart.visibleTimeRange(), z);
    }

    void valueAxisScalesToTheVisibleChannelsOnly() {
        StripChart chart(nullptr, 2);
        chart.resize(400, 200);
        for (int i = 0; i < 100; ++i) {
            chart.addPoint(0, 10 + i % 10);  // 10..19
            chart.addPoint(1, 5000);
        }
        QVERIFY(chart.visibleValueRange().to > 5000);
        chart.setChannelVisible(1, false);
        const AxisRange r = chart.visibleValueRange();
        QVERIFY(r.from <= 10 && r.from > 5);
        QVERIFY(r.to >= 19 && r.to < 25);
        // Hidden, channel 1 still collects.
        chart.addPoint(1, 5000);
        QCOMPARE(chart.pointCount(1), qint64(101));
        QCOMPARE(chart.pointCount(0), qint64(100));
    }

    void noDataShowsTheInitialValueRange() {
        StripChart chart(nullptr, 3);
        chart.resize(400, 200);
        chart.setValueRange(1, 361);
        QCOMPARE(chart.visibleValueRange(), (AxisRange{1, 361}));
        chart.addPoint(0, 50);
        QVERIFY(chart.visibleValueRange().to < 100);
    }

    void gapsNeitherDrawNorScale() {
        StripChart chart(nullptr, 1);
        chart.resize(400, 200);
        for (int i = 0; i < 50; ++i) chart.addPoint(0, i == 25 ? std::nan("") : 3.0);
        chart.addPoint(0, std::numeric_limits<double>::infinity());
        const AxisRange r = chart.visibleValueRange();
        QVERIFY(r.from < 3 && r.to > 3 && r.length() < 10);
    }

    // Pixels: a flat line at a known value lands on its row; the plot is the background.
    void flatLineLandsOnItsRow() {
        StripChart chart(nullptr, 1);
        chart.resize(793, 337);
        chart.setBackgroundColor(kBackground);
        chart.setChannelColor(0, QColor(255, 0, 0));
        chart.setAutoScaling(false);
        chart.setValueRange(0, 100);
        chart.setTimeSpan(100);
        for (int i = 0; i <= 100; ++i) chart.addPoint(0, 25.0);
        const QImage img = chart.grab().toImage();
        const QRect plot = chart.plotRect();
        const int expectedRow = int(std::lround(plot.top() + 0.75 * plot.height()));
        const int x = plot.left() + plot.width() / 3;
        int reddest = -1;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            if (img.pixelColor(x, y).red() > 200 && img.pixelColor(x, y).green() < 80)
                reddest = reddest < 0 ? y : reddest;
        QVERIFY2(std::abs(reddest - expectedRow) <= 1,
                 qPrintable(QStringLiteral("row %1, expected %2").arg(reddest).arg(expectedRow)));
        // Away from the trace and the grid lines the plot shows the background colour.
        QVERIFY(countColor(img, plot.adjusted(2, 2, -2, -2), kBackground) >
                plot.width() * plot.height() / 2);
        QCOMPARE(img.pixelColor(1, chart.height() - 1), kBackground);
    }

    // With far more points than pixels, a one-sample spike must still reach the screen: the
    // per-column min/max keeps it where decimation would drop it.
    void denseViewKeepsASingleSpike() {
        StripChart chart(nullptr, 1);
        chart.resize(793, 337);
        chart.setBackgroundColor(kBackground);
        chart.setChannelColor(0, QColor(0, 255, 0));
        chart.setAutoScaling(false);
        chart.setValueRange(-10, 110);
        const int n = 500'000;
        chart.setTimeSpan(n);
        for (int i = 0; i < n; ++i) chart.addPoint(0, i == 123'457 ? 100.0 : 0.0);
        const QImage img = chart.grab().toImage();
        const QPointF spike = chart.mapToPixel(123'457, 100);
        const int col = int(spike.x());
        bool found = false;
        for (int dx = -1; dx <= 1 && !found; ++dx)
            found = img.pixelColor(col + dx, int(spike.y()) + 1) == QColor(0, 255, 0);
        QVERIFY(found);
        // And nowhere else does the trace leave 0.
        const QPointF zero = chart.mapToPixel(0, 0);
        const int aboveZero = int(zero.y()) - 5;
        const QRect plot = chart.plotRect();
        int greenAbove = 0;
        for (int x = plot.left(); x < plot.right(); ++x)
            if (std::abs(x - col) > 1 && img.pixelColor(x, aboveZero) == QColor(0, 255, 0))
                ++greenAbove;
        QCOMPARE(greenAbove, 0);
    }

    void hiddenChannelComesBackWithItsPoints() {
        StripChart chart(nullptr, 2);
        chart.resize(400, 200);
        chart.setChannelColor(0, QColor(255, 0, 0));
        chart.setChannelColor(1, QColor(0, 0, 255));
        chart.setChannelVisible(1, false);
        for (int i = 0; i < 200; ++i) {
            chart.addPoint(0, 0);
            chart.addPoint(1, i % 2 ? 10 : -10);
        }
        const QRect plot = chart.plotRect();
        QCOMPARE(countColor(chart.grab().toImage(), plot, QColor(0, 0, 255)), 0);
        chart.setChannelVisible(1, true);
        QVERIFY(countColor(chart.grab().toImage(), plot, QColor(0, 0, 255)) > 100);
    }

    void clockAxisFollowsArrivalTimes() {
        StripChart chart(nullptr, 3);
        chart.resize(600, 250);
        chart.setTimeLabels(StripChart::TimeLabels::Clock);
        chart.setTimeSpan(10);
        const double t0 = 12 * 3600.0;
        for (int i = 0; i < 500; ++i)
            for (int ch = 0; ch < 3; ++ch) chart.addPoint(ch, t0 + i * 0.05, ch * 10);
        const AxisRange r = chart.visibleTimeRange();
        QVERIFY(std::abs(r.to - (t0 + 499 * 0.05)) < 1e-6);
        QCOMPARE(r.length(), 10.0);
        QVERIFY(!chart.grab().isNull());
    }

    void clearStartsOverAndFollows() {
        MainChart m;
        m.feed(1000, sine);
        drag(m.chart, m.chart.plotRect().center(), m.chart.plotRect().center() + QPoint(50, 0));
        m.chart.clear();
        QCOMPARE(m.chart.pointCount(3), qint64(0));
        QVERIFY(m.chart.isFollowing());
        QCOMPARE(m.chart.visibleTimeRange().from, 0.0);
    }

    void accessibleReadingListsTheNewestValues() {
        StripChart chart(nullptr, 2);
        chart.setAccessibleName(QStringLiteral("iPlotX1"));
        chart.setChannelTitle(0, QStringLiteral("YAW"));
        chart.setChannelTitle(1, QStringLiteral("Roll"));
        chart.addPoint(0, 12.5);
        chart.addPoint(1, -3);
        chart.setChannelVisible(1, false);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&chart);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("iPlotX1"));
        QCOMPARE(iface->text(QAccessible::Description),
                 QStringLiteral("YAW 12.5; Roll -3 (hidden)"));
    }
};

QTEST_MAIN(TestStripChartWidget)
#include "tst_strip_chart_widget.moc"
