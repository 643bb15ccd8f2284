// The strip chart's history store: min/max queries over any range must agree with a plain
// scan, whichever chunk and pyramid borders the range crosses; gaps never count; explicit x
// stays searchable and ordered.
#include <QTest>
#include <cmath>
#include <limits>
#include <random>

#include "instruments/strip_chart_series.h"

namespace {
ValueSpan scan(const std::vector<float>& v, qint64 from, qint64 to) {
    ValueSpan s;
    for (qint64 i = std::max<qint64>(0, from); i < std::min<qint64>(to, qint64(v.size())); ++i)
        s.add(v[std::size_t(i)]);
    return s;
}
}  // namespace

class TestStripSeries : public QObject {
    Q_OBJECT

    // Just over 4 pyramid levels (16^4 = 65536) and many 4096-point chunks.
    static constexpr qint64 kPoints = 70'000;
    StripSeries m_series;
    std::vector<float> m_values;

private slots:
    void initTestCase() {
        std::mt19937 rng(7);
        std::normal_distribution<float> noise(0, 100);
        for (qint64 i = 0; i < kPoints; ++i) {
            const float v = noise(rng);
            m_values.push_back(v);
            m_series.append(v);
        }
    }

    void spanMatchesScan_data() {
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::newRow("empty range") << qint64(100) << qint64(100);
        QTest::newRow("single point") << qint64(4095) << qint64(4096);
        QTest::newRow("inside one block") << qint64(3) << qint64(13);
        QTest::newRow("across a 16 block") << qint64(10) << qint64(20);
        QTest::newRow("across a chunk border") << qint64(4090) << qint64(4102);
        QTest::newRow("exactly one chunk") << qint64(4096) << qint64(8192);
        QTest::newRow("chunk minus one each end") << qint64(4097) << qint64(8191);
        QTest::newRow("across the 65536 level") << qint64(65000) << qint64(66000);
        QTest::newRow("whole history") << qint64(0) << kPoints;
        QTest::newRow("ragged both ends, many chunks") << qint64(17) << qint64(69'999);
        QTest::newRow("up to the partial last block") << qint64(69'900) << kPoints;
        QTest::newRow("clamped to the history") << qint64(-50) << kPoints + 1000;
    }
    void spanMatchesScan() {
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        const ValueSpan expected = scan(m_values, from, to);
        const ValueSpan got = m_series.span(from, to);
        QCOMPARE(got.empty(), expected.empty());
        if (!expected.empty()) {
            QCOMPARE(got.min, expected.min);
            QCOMPARE(got.max, expected.max);
        }
    }

    // Sliding windows of many widths catch a ragged-end error that fixed rows could miss.
    void spanMatchesScanForSlidingWindows() {
        for (const qint64 width : {1, 15, 16, 17, 255, 256, 257, 4095, 4097, 30'000}) {
            for (qint64 from = 0; from + width <= kPoints; from += 997) {
                const ValueSpan expected = scan(m_values, from, from + width);
                const ValueSpan got = m_series.span(from, from + width);
                if (got.min != expected.min || got.max != expected.max)
                    QFAIL(qPrintable(QStringLiteral("width %1 from %2").arg(width).arg(from)));
            }
        }
    }

    // The coarse answer used for dense drawing: exactly the span between the ends rounded to
    // whole blocks of the level, the partial block at the end of the history included.
    void coarseSpanRoundsToWholeBlocks_data() {
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::addColumn<int>("level");
        QTest::newRow("level 1, rounds down both") << qint64(4101) << qint64(9000) << 1;
        QTest::newRow("level 1, rounds up both") << qint64(4105) << qint64(9010) << 1;
        QTest::newRow("level 2 across chunks") << qint64(300) << qint64(40'000) << 2;
        QTest::newRow("level 2 to the end") << qint64(60'000) << kPoints << 2;
        QTest::newRow("level 3 whole") << qint64(0) << kPoints << 3;
    }
    void coarseSpanRoundsToWholeBlocks() {
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QFETCH(int, level);
        const qint64 block = qint64(1) << (4 * level);
        auto round = [&](qint64 i) { return (i + block / 2) / block * block; };
        const qint64 end = to >= kPoints ? kPoints : round(to);
        const ValueSpan expected = scan(m_values, round(from), end);
        const ValueSpan got = m_series.coarseSpan(from, to, level);
        QCOMPARE(got.min, expected.min);
        QCOMPARE(got.max, expected.max);
    }

    // At least 8 blocks per column keeps the rounding under a sixteenth of a column.
    void coarseLevelKeepsEightBlocksPerColumn() {
        QCOMPARE(StripSeries::levelForRange(127), 0);
        QCOMPARE(StripSeries::levelForRange(128), 1);
        QCOMPARE(StripSeries::levelForRange(2047), 1);
        QCOMPARE(StripSeries::levelForRange(2724), 2);  // 24 hours over 793 columns
    }

    void gapsAreKeptButNeverCounted() {
        StripSeries s;
        s.append(1.0);
        s.append(std::nan(""));
        s.append(std::numeric_limits<double>::infinity());
        s.append(1e300);  // beyond float: infinite once stored
        s.append(-2.0);
        QCOMPARE(s.size(), qint64(5));
        QVERIFY(std::isnan(s.value(1)));
        QVERIFY(s.span(1, 4).empty());
        const ValueSpan all = s.span(0, 5);
        QCOMPARE(all.min, -2.0f);
        QCOMPARE(all.max, 1.0f);
    }

    void implicitXFollowsTheSampleInterval() {
        StripSeries s;
        for (int i = 0; i < 10; ++i) s.append(i);
        QCOMPARE(s.x(9), 9.0);
        QCOMPARE(s.lowerBound(3.5), qint64(4));
        QCOMPARE(s.upperBound(4.0), qint64(5));
        QCOMPARE(s.lowerBound(-1), qint64(0));
        QCOMPARE(s.lowerBound(100), qint64(10));
        s.setSampleInterval(0.04);
        QCOMPARE(s.x(5), 0.2);
        QCOMPARE(s.lowerBound(0.2), qint64(5));
        QCOMPARE(s.upperBound(0.2), qint64(6));
    }

    void explicitXStaysOrderedAndSearchable() {
        StripSeries s;
        const double t0 = 45'000.0;  // seconds since midnight: the offsets must stay exact
        for (int i = 0; i < 10'000; ++i) s.append(t0 + i * 0.02, i);
        QVERIFY(s.hasExplicitX());
        QCOMPARE(s.x(0), t0);
        QVERIFY(std::abs(s.x(9999) - (t0 + 199.98)) < 1e-6);
        QVERIFY(std::abs(s.x(5000) - (t0 + 100.0)) < 1e-6);
        QCOMPARE(s.lowerBound(t0 + 100.0 - 1e-4), qint64(5000));
        QCOMPARE(s.upperBound(t0 + 100.0 + 1e-4), qint64(5001));
        // The clock set back: the point is kept at the previous x, the order stays intact.
        s.append(t0 - 3600, -1);
        QCOMPARE(s.size(), qint64(10'001));
        QCOMPARE(s.x(10'000), s.x(9999));
        QCOMPARE(s.value(10'000), -1.0f);
    }

    void firstExplicitXKeepsTheEarlierImplicitPoints() {
        StripSeries s;
        for (int i = 0; i < 5000; ++i) s.append(i);  // x 0..4999, across a chunk border
        s.append(6000.0, 42);
        QCOMPARE(s.x(4097), 4097.0);
        QCOMPARE(s.x(5000), 6000.0);
        QCOMPARE(s.lowerBound(5500), qint64(5000));
        s.append(7.0);  // implicit again: one interval after the last x
        QCOMPARE(s.x(5001), 6001.0);
    }

    void clearEmptiesTheHistory() {
        StripSeries s;
        for (int i = 0; i < 5000; ++i) s.append(i);
        const std::size_t full = s.memoryBytes();
        s.clear();
        QCOMPARE(s.size(), qint64(0));
        QVERIFY(s.span(0, 10).empty());
        QVERIFY(s.memoryBytes() < full / 10);
        s.append(3);
        QCOMPARE(s.span(0, 1).max, 3.0f);
    }
};

QTEST_APPLESS_MAIN(TestStripSeries)
#include "tst_strip_series.moc"
