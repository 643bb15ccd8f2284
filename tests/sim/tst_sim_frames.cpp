// The simulator's report frames, byte for byte against the layouts the ground programs
// decode, with the example values the frame descriptions give.
#include <QtTest>

#include "report_frames.h"
#include "support_sim.h"

using namespace SimBench;

class TstSimFrames : public QObject {
    Q_OBJECT
private slots:
    void payloadLayout_data();
    void payloadLayout();
    void wholeFrames_data();
    void wholeFrames();
};

void TstSimFrames::payloadLayout_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("payload");

    Report::ImuValues imu;
    imu.yaw = 12.3;
    imu.pitch = -0.5;
    imu.altitude = 0;
    imu.temperature = 25.1;
    imu.pressure = 101320;
    imu.solutionRate = 500;
    QTest::newRow("ReportIMU: sign-magnitude tenths, pressure in 10 Pa")
        << Report::imuFrame(imu) << 0xA1 << hex("007B 8005 0000 0000 00FB 2794 01F4");
    Report::MotionValues m;
    m.acc = {-5, 5, 16384};
    m.gyro = {0, -32767, 14};
    m.mag = {-600, 0, 1};
    QTest::newRow("ReportMotion: nine raw counts")
        << Report::motionFrame(m) << 0xA2 << hex("8005 0005 4000 0000 FFFF 000E 8258 0000 0001");
    QTest::newRow("ReportMagRange: maxima then minima")
        << Report::magRangeFrame({-5, 16, 0}, {0, 32767, 1}) << 0xA4
        << hex("8005 0010 0000 0000 7FFF 0001");
    QTest::newRow("ReportAccExtreme -500, selector 2")
        << Report::accExtremeFrame(-500, 2) << 0xA5 << hex("81F4 02");
    QTest::newRow("ReportOffsets 12.3, -1, 180")
        << Report::offsetsFrame(123, -10, 1800) << 0xB5 << hex("007B 800A 0708");
    QTest::newRow("ConfigWritten carries nothing")
        << Report::configWrittenFrame() << 0xB3 << QByteArray();
    QTest::newRow("OffsetsWritten carries nothing")
        << Report::offsetsWrittenFrame() << 0xB6 << QByteArray();
    QTest::newRow("ReportPwmIn 1500 first")
        << Report::pwmInFrame({1500, 1000, 2000, 1500, 900, 2100}) << 0x12
        << hex("05DC 03E8 07D0 05DC 0384 0834");
    QTest::newRow("ReportPwmOut eight widths")
        << Report::pwmOutFrame({1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800}) << 0x13
        << hex("044C 04B0 0514 0578 05DC 0640 06A4 0708");
    QTest::newRow("ReportPidTrace f32 least significant first")
        << Report::pidTraceFrame(1.0f, -2.0f, 0.5f) << 0x15 << hex("0000803F 000000C0 0000003F");
    QTest::newRow("ReportPid of loop 2 goes out as 0xD2")
        << Report::pidFrame(2, 1.0f, 0.5f, 2.0f) << 0xD2 << hex("0000803F 0000003F 00000040");
    Report::GpsValues g;
    g.longitude = 120.0122;
    g.latitude = -120.0122;
    g.height = -10;
    g.satellites = 255;
    g.heading = 359.9;
    g.speed = 2.5;
    QTest::newRow("ReportGps: s32 of 1/10000 degree, s16 tenths, u8 satellites")
        << Report::gpsFrame(g) << 0xA3 << hex("00124FFA FFEDB006 FF9C FF 0E0F 0019");
    Report::TargetValues tv;
    tv.longitude = 120.0122;
    tv.latitude = 30.2741;
    tv.height = 50;
    tv.distance = 12.5;
    tv.xControl = -3.2;
    tv.yControl = 15;
    QTest::newRow("ReportTarget") << Report::targetFrame(tv) << 0xA5
                                  << hex("00124FFA 00049E95 01F4 007D FFE0 0096");
    Report::StatusValues s;
    s.mode = 3;
    s.battery = 12.4;
    s.servo = 5.0;
    s.errorCode = 7;
    s.i2cErrors = -1;
    s.uptime = 65535;
    QTest::newRow("ReportStatus: signed I2C count, unsigned uptime")
        << Report::statusFrame(s) << 0xA6 << hex("03 007C 0032 07 FFFF FFFF");
    QTest::newRow("ReportFlow X 10, Y -5") << Report::flowFrame(10, -5) << 0x0F << hex("000A 8005");
}

void TstSimFrames::payloadLayout() {
    QFETCH(QByteArray, frame);
    QFETCH(int, type);
    QFETCH(QByteArray, payload);
    QCOMPARE(typeOf(frame), type);
    QCOMPARE(text(payloadOf(frame)), text(payload));
    QCOMPARE(int(quint8(frame[2])), payload.size() + 4);
}

// A few frames whole, sum and tail included, as they appear on the wire.
void TstSimFrames::wholeFrames_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("ReportConfig 01 03 07")
        << Report::configFrame(1, 3, 7) << hex("A55A 07 B1 010307 C3 AA");
    QTest::newRow("ReportOffsets 00 7B 80 0A 07 08")
        << Report::offsetsFrame(123, -10, 1800) << hex("A55A 0A B5 007B800A0708 D3 AA");
    QTest::newRow("ReportAccExtreme 81 F4 02")
        << Report::accExtremeFrame(-500, 2) << hex("A55A 07 A5 81F402 23 AA");
    QTest::newRow("ConfigWritten") << Report::configWrittenFrame() << hex("A55A 04 B3 B7 AA");
}

void TstSimFrames::wholeFrames() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, wire);
    QCOMPARE(text(frame), text(wire));
}

QTEST_APPLESS_MAIN(TstSimFrames)
#include "tst_sim_frames.moc"
