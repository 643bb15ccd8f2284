// The simulated flight controller: its frames and their lengths, the PID read/write round
// trip, the traced loop, the servo neutral and the magnetometer calibration reports.
#include <QtTest>

#include "flight_controller.h"
#include "support_sim.h"

using namespace SimBench;

namespace {
QByteArray writePid(int loop, float p, float i, float d) {
    QByteArray payload;
    Field::putF32le(payload, p);
    Field::putF32le(payload, i);
    Field::putF32le(payload, d);
    return Frame::build(static_cast<quint8>(0xD9 + loop), payload);
}
float f32(const QByteArray& payload, int k) {
    float v = 0;
    Field::f32le(payload, 4 * k, &v);
    return v;
}
int u16(const QByteArray& payload, int k) {
    int v = 0;
    Field::u16be(payload, 2 * k, &v);
    return v;
}
}  // namespace

class TstFlightController : public QObject {
    Q_OBJECT
private slots:
    void framesAndRates_data();
    void framesAndRates();
    void pidReadWriteRoundTrip_data();
    void pidReadWriteRoundTrip();
    void writePidAsTorvikSendsIt();
    void traceFollowsTheSelectedLoop_data();
    void traceFollowsTheSelectedLoop();
    void servoNeutralRecentresTheInputs();
    void magnetometerCalibrationReports();
};

void TstFlightController::framesAndRates_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("perTwoSeconds");
    QTest::newRow("ReportIMU") << 0xA1 << 18 << 40;
    QTest::newRow("ReportMotion") << 0xA2 << 22 << 40;
    QTest::newRow("ReportPwmIn") << 0x12 << 16 << 40;
    QTest::newRow("ReportPwmOut") << 0x13 << 20 << 40;
    QTest::newRow("ReportPidTrace") << 0x15 << 16 << 100;
    QTest::newRow("ReportGps") << 0xA3 << 19 << 10;
    QTest::newRow("ReportTarget") << 0xA5 << 20 << 10;
    QTest::newRow("ReportStatus") << 0xA6 << 14 << 4;
    QTest::newRow("ReportFlow when asked for, 25 Hz") << 0x0F << 8 << 50;
    QTest::newRow("no ReportMagRange without a calibration") << 0xA4 << 16 << 0;
}

void TstFlightController::framesAndRates() {
    QFETCH(int, type);
    QFETCH(int, length);
    QFETCH(int, perTwoSeconds);
    FlightControllerDevice fc;
    fc.setFlowRate(25, 0);
    Bench bench(fc);
    bench.run(1000);
    const qsizetype mark = bench.mark();
    bench.run(2000);
    const QList<QByteArray> frames = bench.ofType(quint8(type), mark);
    QVERIFY2(qAbs(frames.size() - perTwoSeconds) <= 1, qPrintable(QString::number(frames.size())));
    for (const QByteArray& f : frames) QCOMPARE(int(quint8(f[2])), length);

    FlightControllerDevice quiet;
    Bench none(quiet);
    none.run(2000);
    QVERIFY(none.ofType(0x0F).isEmpty());  // Torvik moves the pointer with each one
}

void TstFlightController::pidReadWriteRoundTrip_data() {
    QTest::addColumn<int>("loop");
    for (int loop = 1; loop <= 5; ++loop)
        QTest::newRow(qPrintable(QStringLiteral("loop %1").arg(loop))) << loop;
}

void TstFlightController::pidReadWriteRoundTrip() {
    QFETCH(int, loop);
    FlightControllerDevice fc;
    Bench bench(fc);
    bench.run(100);
    qsizetype mark = bench.mark();
    bench.host(CommandFrame(quint8(0xD0 + loop)));
    QList<QByteArray> reply = bench.since(mark);
    QCOMPARE(reply.size(), 1);
    QCOMPARE(typeOf(reply[0]), 0xD0 + loop);
    QCOMPARE(int(quint8(reply[0][2])), 16);
    const PidGains defaults = fc.gains(loop);
    QCOMPARE(f32(payloadOf(reply[0]), 0), defaults.p);
    QVERIFY(defaults.p > 0);

    PidGains before[6];
    for (int other = 1; other <= 5; ++other) before[other] = fc.gains(other);
    const float p = 1.23456f * loop, i = 0.05f, d = -7.5f;
    mark = bench.mark();
    bench.host(writePid(loop, p, i, d));
    QVERIFY(bench.since(mark).isEmpty());  // written without an answer
    for (int other = 1; other <= 5; ++other)
        if (other != loop) QCOMPARE(fc.gains(other).p, before[other].p);
    mark = bench.mark();
    bench.host(CommandFrame(quint8(0xD0 + loop)));
    reply = bench.since(mark);
    QCOMPARE(reply.size(), 1);
    const QByteArray got = payloadOf(reply[0]);
    QCOMPARE(f32(got, 0), p);
    QCOMPARE(f32(got, 1), i);
    QCOMPARE(f32(got, 2), d);
}

void TstFlightController::writePidAsTorvikSendsIt() {
    FlightControllerDevice fc;
    Bench bench(fc);
    bench.host(hex("A55A 10 DA 0000803F 00000000 00000000 A9 AA"));  // roll: P 1, I 0, D 0
    QCOMPARE(fc.gains(1).p, 1.0f);
    QCOMPARE(fc.gains(1).i, 0.0f);
    QCOMPARE(fc.gains(1).d, 0.0f);
    bench.host(hex("A55A 10 DA 0000803F 00000000 00000000 AA AA"));  // a wrong sum changes nothing
    bench.host(Frame::build(0xDB, hex("0000803F 00000000")));        // nor a payload without D
    QCOMPARE(fc.gains(2).p, 1.8f);
}

void TstFlightController::traceFollowsTheSelectedLoop_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("field");  // ReportIMU field the current value is
    QTest::newRow("roll 0xD6") << 0xD6 << 2;
    QTest::newRow("pitch 0xD7") << 0xD7 << 1;
    QTest::newRow("heading 0xD8") << 0xD8 << 0;
    QTest::newRow("altitude 0xD9") << 0xD9 << 3;
}

void TstFlightController::traceFollowsTheSelectedLoop() {
    QFETCH(int, code);
    QFETCH(int, field);
    FlightControllerDevice fc;
    Bench bench(fc);
    bench.run(1000);
    bench.host(CommandFrame(quint8(code)));
    QCOMPARE(fc.tracedLoop(), code - 0xD5);
    qsizetype mark = bench.mark();
    bench.run(3000);
    // Each trace sample lies on the 50 Hz grid; at every tenth of a second a ReportIMU of
    // the same instant follows it, and the trace's current value is that frame's value.
    int compared = 0;
    double lastIMU = 1e9;
    const QList<QByteArray> units = bench.since(mark);
    for (qsizetype k = 0; k + 1 < units.size(); ++k) {
        if (typeOf(units[k]) == 0xA1) lastIMU = sm(payloadOf(units[k]), field) / 10.0;
        if (typeOf(units[k]) != 0x15) continue;
        const QByteArray t = payloadOf(units[k]);
        QVERIFY(qAbs(f32(t, 0) - f32(t, 1)) < 30);  // a target near the current value
        if (bench.sent[mark + k].at == bench.sent[mark + k - 1].at && lastIMU < 1e8) {
            QVERIFY2(qAbs(f32(t, 1) - lastIMU) <= 0.051,
                     qPrintable(QStringLiteral("%1 vs %2").arg(f32(t, 1)).arg(lastIMU)));
            ++compared;
        }
    }
    QVERIFY(compared >= 25);

    // All gains zero: the loop's output is zero.
    bench.host(writePid(code - 0xD5, 0, 0, 0));
    mark = bench.mark();
    bench.run(200);
    for (const QByteArray& t : bench.ofType(0x15, mark)) QCOMPARE(f32(payloadOf(t), 2), 0.0f);
}

void TstFlightController::servoNeutralRecentresTheInputs() {
    FlightControllerDevice fc(MotionModel::Motion::Still);
    Bench bench(fc);
    bench.run(500);
    const QByteArray before = payloadOf(bench.ofType(0x12).last());
    bench.host(CommandFrame(0xF5));
    const qsizetype mark = bench.mark();
    bench.run(500);
    const QByteArray after = payloadOf(bench.ofType(0x12, mark).last());
    // The sticks stay put at rest (the throttle, channel 3, moves on its own).
    for (int ch : {0, 1, 3, 4, 5})
        QCOMPARE(u16(before, ch) - u16(after, ch), FlightControllerDevice::InputTrim[ch]);
    QCOMPARE(u16(after, 3), 1500);  // yaw stick centred
    QCOMPARE(u16(after, 4), 1500);  // mode switch in the middle: self-levelling
    const QByteArray status = payloadOf(bench.ofType(0xA6).last());
    QCOMPARE(int(quint8(status[0])), 2);
}

void TstFlightController::magnetometerCalibrationReports() {
    FlightControllerDevice fc;
    Bench bench(fc);
    bench.host(CommandFrame(0xE3));
    bench.run(2000);
    QVERIFY(qAbs(bench.ofType(0xA4).size() - 20) <= 1);
    bench.host(CommandFrame(0xE1));
    const qsizetype mark = bench.mark();
    bench.run(1000);
    QVERIFY(bench.ofType(0xA4, mark).isEmpty());
}

QTEST_APPLESS_MAIN(TstFlightController)
#include "tst_sim_flight_controller.moc"
