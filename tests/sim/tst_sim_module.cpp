// The simulated attitude module: telemetry as configured, the configuration and offset
// replies, the zero commands and both calibrations as they show in the frames that follow.
#include <QtTest>
#include <cmath>

#include "module_device.h"
#include "support_sim.h"

using namespace SimBench;

namespace {
constexpr double Pi = 3.14159265358979323846;
double deg(double r) {
    return r * 180.0 / Pi;
}

struct Sample {
    double yaw, pitch, roll, altitude;
    int acc[3], gyro[3], mag[3];
};

// ReportIMU and ReportMotion of the same tick, decoded.
QList<Sample> pairs(const Bench& bench, qsizetype mark) {
    QList<Sample> out;
    const QList<QByteArray> units = bench.since(mark);
    for (qsizetype i = 0; i + 1 < units.size(); ++i) {
        if (typeOf(units[i]) != 0xA1 || typeOf(units[i + 1]) != 0xA2) continue;
        const QByteArray a = payloadOf(units[i]), b = payloadOf(units[i + 1]);
        Sample s{sm(a, 0) / 10.0, sm(a, 1) / 10.0, sm(a, 2) / 10.0, sm(a, 3) / 10.0, {}, {}, {}};
        for (int k = 0; k < 3; ++k) {
            s.acc[k] = sm(b, k);
            s.gyro[k] = sm(b, 3 + k);
            s.mag[k] = sm(b, 6 + k);
        }
        out.append(s);
    }
    return out;
}

template <class F>
double mean(const QList<Sample>& samples, F value) {
    double sum = 0;
    for (const Sample& s : samples) sum += value(s);
    return samples.isEmpty() ? 0 : sum / samples.size();
}
}  // namespace

class TstModuleDevice : public QObject {
    Q_OBJECT
private slots:
    void configurationSetsFramesAndRate_data();
    void configurationSetsFramesAndRate();
    void offsetsRoundTripAndShiftTheAttitude();
    void sensorsAgreeWithTheAttitude();
    void zeroCommandsShowInTheTelemetry();
    void magnetometerCalibration();
    void accelerometerCaptures_data();
    void accelerometerCaptures();
    void accelerometerCalibrationCentresTheAxes();
    void unknownAndDamagedFramesAreIgnored();
};

void TstModuleDevice::configurationSetsFramesAndRate_data() {
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("reported");
    QTest::addColumn<int>("imuPerSecond");
    QTest::addColumn<int>("motionPerSecond");
    QTest::newRow("attitude+sensors 100 Hz 115200") << hex("010307") << hex("010307") << 100 << 100;
    QTest::newRow("attitude only 200 Hz") << hex("000107") << hex("000107") << 200 << 0;
    QTest::newRow("attitude only 120 Hz 4800") << hex("000200") << hex("000200") << 120 << 0;
    QTest::newRow("sensors only 1 Hz") << hex("020807") << hex("020807") << 0 << 1;
    QTest::newRow("sensors only 80 Hz 9600") << hex("020401") << hex("020401") << 0 << 80;
    // Lists without a selection send 0xFF, 0x00, 0xFF: the module keeps what it had.
    QTest::newRow("out of range keeps the old values")
        << hex("FF00FF") << hex("010607") << 20 << 20;
    QTest::newRow("only the valid field changes") << hex("FF0209") << hex("010207") << 120 << 120;
}

void TstModuleDevice::configurationSetsFramesAndRate() {
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, reported);
    QFETCH(int, imuPerSecond);
    QFETCH(int, motionPerSecond);
    ModuleDevice module;
    Bench bench(module);
    bench.run(500);

    qsizetype mark = bench.mark();
    bench.host(0xB3, written);
    QList<QByteArray> reply = bench.since(mark);
    QCOMPARE(reply.size(), 1);
    QCOMPARE(text(reply[0]), QStringLiteral("A5 5A 04 B3 B7 AA"));

    mark = bench.mark();
    bench.host(CommandFrame(0xB0));
    reply = bench.since(mark);
    QCOMPARE(reply.size(), 1);
    QCOMPARE(typeOf(reply[0]), 0xB1);
    QCOMPARE(text(payloadOf(reply[0])), text(reported));

    bench.run(10);  // the new rate starts on its own grid
    mark = bench.mark();
    bench.run(1000);
    QVERIFY(qAbs(bench.ofType(0xA1, mark).size() - imuPerSecond) <= 1);
    QVERIFY(qAbs(bench.ofType(0xA2, mark).size() - motionPerSecond) <= 1);
    QCOMPARE(bench.since(mark).size(),
             bench.ofType(0xA1, mark).size() + bench.ofType(0xA2, mark).size());
}

void TstModuleDevice::offsetsRoundTripAndShiftTheAttitude() {
    ModuleDevice module(MotionModel::Motion::Still);
    Bench bench(module);
    bench.run(100);
    qsizetype mark = bench.mark();
    bench.host(CommandFrame(0xB5));
    QCOMPARE(text(bench.since(mark).value(0)),
             QStringLiteral("A5 5A 0A B5 00 00 00 00 00 00 BF AA"));

    mark = bench.mark();
    bench.host(0xB6, hex("007B800A0708"));  // yaw 12.3, pitch -1, roll 180
    QCOMPARE(text(bench.since(mark).value(0)), QStringLiteral("A5 5A 04 B6 BA AA"));
    mark = bench.mark();
    bench.host(CommandFrame(0xB5));
    QCOMPARE(text(payloadOf(bench.since(mark).value(0))), QStringLiteral("00 7B 80 0A 07 08"));

    // At rest the module sits at yaw 30, pitch 1.5, roll -0.8; the offsets are taken off.
    mark = bench.mark();
    bench.run(200);
    const QList<Sample> s = pairs(bench, mark);
    QVERIFY(!s.isEmpty());
    QCOMPARE(s.last().yaw, 17.7);
    QCOMPARE(s.last().pitch, 2.5);
    QCOMPARE(s.last().roll, 179.2);  // -180.8 comes round to the other side
}

// The raw sensors belong to the reported attitude: gravity gives pitch and roll, the
// tilt-compensated field gives the heading; the attitude moves smoothly.
void TstModuleDevice::sensorsAgreeWithTheAttitude() {
    ModuleDevice module;
    Bench bench(module);
    module.setConfig({ModuleConfig::AttitudeAndSensors, 1, 7}, 0);  // 200 Hz
    bench.run(20000);
    const QList<Sample> s = pairs(bench, 0);
    QVERIFY(s.size() > 3900);
    double yawSeen = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const Sample& x = s[i];
        const double ax = x.acc[0] - ImuCore::AccBias[0], ay = x.acc[1] - ImuCore::AccBias[1],
                     az = x.acc[2] - ImuCore::AccBias[2];
        QVERIFY2(qAbs(std::hypot(ax, ay, az) / ImuCore::AccPerG - 1) < 0.01,
                 qPrintable(QString::number(i)));
        QVERIFY(qAbs(deg(std::atan2(-ax, std::hypot(ay, az))) - x.pitch) < 0.5);
        QVERIFY(qAbs(wrapDegrees(deg(std::atan2(ay, az)) - x.roll)) < 0.5);
        const Vec3 m{double(x.mag[0] - ImuCore::MagBias[0]), double(x.mag[1] - ImuCore::MagBias[1]),
                     double(x.mag[2] - ImuCore::MagBias[2])};
        const double heading = MotionModel::headingFrom(m, {0, x.pitch, x.roll});
        QVERIFY2(
            qAbs(wrapDegrees(heading - x.yaw)) < 1.5,
            qPrintable(
                QStringLiteral("frame %1: compass %2, yaw %3").arg(i).arg(heading).arg(x.yaw)));
        if (i > 0) {
            const Sample& p = s[i - 1];
            QVERIFY(qAbs(wrapDegrees(x.yaw - p.yaw)) <= 0.2);
            QVERIFY(qAbs(x.pitch - p.pitch) <= 0.2);
            QVERIFY(qAbs(wrapDegrees(x.roll - p.roll)) <= 0.2);
            yawSeen += wrapDegrees(x.yaw - p.yaw);
        }
    }
    // The module turns: 20 s at 6 degrees per second.
    QVERIFY(qAbs(yawSeen - 120) < 1);
    // The yaw rate shows on the gyroscope: with small tilts mostly about z.
    const double gz = mean(s, [](const Sample& x) { return x.gyro[2] - ImuCore::GyroBias[2]; });
    QVERIFY2(qAbs(gz / ImuCore::GyroPerDps - 6.0) < 0.5, qPrintable(QString::number(gz)));
}

void TstModuleDevice::zeroCommandsShowInTheTelemetry() {
    ModuleDevice module(MotionModel::Motion::Still);
    Bench bench(module);
    bench.run(1000);
    QList<Sample> before = pairs(bench, 0);
    for (int k = 0; k < 3; ++k)
        QVERIFY(qAbs(mean(before, [k](const Sample& x) { return x.gyro[k]; }) -
                     ImuCore::GyroBias[k]) < 1.0);
    QCOMPARE(before.last().altitude, 52.0);

    bench.host(CommandFrame(0xE0));
    bench.host(CommandFrame(0xE2));
    const qsizetype mark = bench.mark();
    bench.run(1000);
    const QList<Sample> after = pairs(bench, mark);
    for (int k = 0; k < 3; ++k)
        QVERIFY(qAbs(mean(after, [k](const Sample& x) { return x.gyro[k]; })) < 1.0);
    QCOMPARE(after.first().altitude, 0.0);
    QCOMPARE(after.last().altitude, 0.0);
}

void TstModuleDevice::magnetometerCalibration() {
    ModuleDevice module(MotionModel::Motion::Still);
    Bench bench(module);
    bench.run(500);
    QVERIFY(bench.ofType(0xA4).isEmpty());

    bench.host(CommandFrame(0xE3));
    qsizetype mark = bench.mark();
    bench.run(20000);
    const QList<QByteArray> ranges = bench.ofType(0xA4, mark);
    QVERIFY(qAbs(ranges.size() - 200) <= 1);  // 10 per second
    for (qsizetype i = 1; i < ranges.size(); ++i) {
        const QByteArray a = payloadOf(ranges[i - 1]), b = payloadOf(ranges[i]);
        for (int k = 0; k < 3; ++k) {
            QVERIFY(sm(b, k) >= sm(a, k));          // maxima only grow
            QVERIFY(sm(b, 3 + k) <= sm(a, 3 + k));  // minima only shrink
        }
    }
    // Turned about for 20 s, the module has seen nearly the whole field on every axis, and the
    // middle of each range is the chip's own zero error.
    const QByteArray last = payloadOf(ranges.last());
    for (int k = 0; k < 3; ++k) {
        QVERIFY(sm(last, k) - sm(last, 3 + k) > 1.6 * ImuCore::FieldCounts);
        QVERIFY2(qAbs((sm(last, k) + sm(last, 3 + k)) / 2.0 - ImuCore::MagBias[k]) < 50,
                 qPrintable(QStringLiteral("axis %1").arg(k)));
    }

    bench.host(CommandFrame(0xE1));
    bench.run(2000);  // put down again
    mark = bench.mark();
    bench.run(1000);
    QVERIFY(bench.ofType(0xA4, mark).isEmpty());
    // Back at rest, the corrected field has the size of the earth's field, without the bias.
    const Sample s = pairs(bench, mark).last();
    QVERIFY(qAbs(std::hypot(s.mag[0], s.mag[1], s.mag[2]) - ImuCore::FieldCounts) < 40);
    const Vec3 m{double(s.mag[0]), double(s.mag[1]), double(s.mag[2])};
    QVERIFY(qAbs(wrapDegrees(MotionModel::headingFrom(m, {0, s.pitch, s.roll}) - s.yaw)) < 8);
}

void TstModuleDevice::accelerometerCaptures_data() {
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("sign");
    for (int sel = 0; sel < 6; ++sel)
        QTest::newRow(qPrintable(QStringLiteral("selector %1").arg(sel)))
            << sel << (sel % 2 ? 1 : -1);
}

void TstModuleDevice::accelerometerCaptures() {
    QFETCH(int, selector);
    QFETCH(int, sign);
    ModuleDevice module(MotionModel::Motion::Still);
    Bench bench(module);
    bench.host(CommandFrame(0xE6));
    const qsizetype mark = bench.mark();
    bench.host(Frame::build(0xA0, QByteArray(1, char(selector))));
    const QList<QByteArray> reply = bench.since(mark);
    QCOMPARE(reply.size(), 1);
    QCOMPARE(typeOf(reply[0]), 0xA5);
    const QByteArray p = payloadOf(reply[0]);
    QCOMPARE(p.size(), 3);
    QCOMPARE(int(quint8(p[2])), selector);
    // Plausible for the calibration window: beyond 500 counts with the right sign.
    QVERIFY(sm(p, 0) * sign > 0.95 * ImuCore::AccPerG);
}

void TstModuleDevice::accelerometerCalibrationCentresTheAxes() {
    ModuleDevice module(MotionModel::Motion::Still);
    Bench bench(module);
    qsizetype mark = bench.mark();
    bench.host(Frame::build(0xA0, hex("06")));  // no seventh extreme: no answer
    QVERIFY(bench.since(mark).isEmpty());

    bench.host(CommandFrame(0xE6));
    for (int sel = 0; sel < 6; ++sel) bench.host(Frame::build(0xA0, QByteArray(1, char(sel))));
    bench.host(CommandFrame(0xE4));
    mark = bench.mark();
    bench.run(1000);
    const QList<Sample> s = pairs(bench, mark);
    const Vec3 g = MotionModel::gravityInBody(module.imu().model().attitude(0));
    const double want[3] = {g.x * ImuCore::AccPerG, g.y * ImuCore::AccPerG, g.z * ImuCore::AccPerG};
    for (int k = 0; k < 3; ++k) {
        const double got = mean(s, [k](const Sample& x) { return x.acc[k]; });
        QVERIFY2(qAbs(got - want[k]) < 12,
                 qPrintable(QStringLiteral("axis %1: %2").arg(k).arg(got)));
    }
}

void TstModuleDevice::unknownAndDamagedFramesAreIgnored() {
    ModuleDevice module;
    Bench bench(module);
    QList<QPair<QByteArray, bool>> seen;
    module.received = [&](const QByteArray& b, bool understood) { seen.append({b, understood}); };
    const qsizetype mark = bench.mark();
    // A read with a wrong sum, noise, a read split over three writes, a type no module knows.
    bench.host(hex("A55A04B0B5AA 1122"));
    bench.host(hex("A55A"));
    bench.host(hex("04B0"));
    bench.host(hex("B4AA"));
    bench.host(CommandFrame(0x77));
    QCOMPARE(bench.since(mark).size(), 1);
    QCOMPARE(typeOf(bench.since(mark)[0]), 0xB1);
    QCOMPARE(seen.size(), 3);
    QCOMPARE(text(seen[0].first), QStringLiteral("A5 5A 04 B0 B5 AA 11 22"));
    QVERIFY(!seen[0].second);
    QCOMPARE(text(seen[1].first), QStringLiteral("A5 5A 04 B0 B4 AA"));
    QVERIFY(seen[1].second);
    QVERIFY(seen[2].second);
}

QTEST_APPLESS_MAIN(TstModuleDevice)
#include "tst_sim_module.moc"
