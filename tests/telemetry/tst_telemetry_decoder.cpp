// ReportIMU and ReportMotion decoding: the label texts and instrument values in the order the
// window shows them, sign and magnitude with scaling after the sign, TelemetryState, the row
// hooks, and frames shorter (or longer) than their layout. Every RxFrame is an exact-size
// copy, so a read past the received bytes also shows under the sanitizers.
#include <QTest>

#include "protocol/frame.h"
#include "telemetry/telemetry_decoder.h"

namespace {

// RxFrame as the receiver keeps it: length, type, payload, checksum.
QByteArray rxFrame(quint8 type, const QByteArray& payload) {
    const QByteArray wire = Frame::build(type, payload);
    return QByteArray(wire.constData() + 2, wire.size() - 3);
}

QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}

class RecordingSink : public TelemetrySink {
public:
    QStringList calls;
    QList<ImuReadings> imuRows;
    QList<MotionReadings> motionRows;

    void setText(const QString& control, const QString& text) override {
        calls << control + u'=' + text;
    }
    void setValue(const QString& control, double value) override {
        calls << control + u'~' + QString::number(value);
    }
    void toggle(const QString& control) override { calls << u'!' + control; }
    void imuRow(const ImuReadings& row) override { imuRows << row; }
    void motionRow(const MotionReadings& row) override { motionRows << row; }

    // The last text a control was given, or a null string.
    QString text(const QString& control) const {
        for (auto it = calls.crbegin(); it != calls.crend(); ++it)
            if (it->startsWith(control + u'=')) return it->mid(control.size() + 1);
        return {};
    }
    QStringList controls() const {
        QStringList names;
        for (const QString& c : calls)
            names << (c.startsWith(u'!') ? c.mid(1) : c.section(QRegularExpression("[=~]"), 0, 0));
        return names;
    }
};

// yaw -12.5, pitch 3.0, roll -0.5, altitude 123.4 m, 25.1 C, 10132 x 10 Pa, 200 per second.
const QByteArray ImuPayload = hex("807D001E800504D200FB279400C8");
// AX 1, AY -2, AZ 16384, GX 0 (0x8000), GY -32767, GZ 32767, MX 251, MY -251, MZ 0.
const QByteArray MotionPayload = hex("0001800240008000FFFF7FFF00FB80FB0000");

}  // namespace

class TestTelemetryDecoder : public QObject {
    Q_OBJECT
private slots:
    void imuInOrder();
    void imuFields_data();
    void imuFields();
    void shortImuFrames_data();
    void shortImuFrames();
    void bytesBeyondTheLayoutAreNotRead();
    void withoutSinkStateStillUpdates();
    void motionInOrder();
    void shortMotionFrames_data();
    void shortMotionFrames();
};

void TestTelemetryDecoder::imuInOrder() {
    TelemetryState state;
    RecordingSink sink;
    Decode_IMU(rxFrame(0xA1, ImuPayload), state, &sink);

    const QStringList expected = {"iLedBarX1~123.4",       "Label3=123.4m",
                                  "Label16=高度:123.4m",   "iThermometerX1~25.1",
                                  "Label17=温度:25.1度",   "iLabelX1=25.1C",
                                  "Label18=气压:101320Pa", "Label24=姿态解算:200 次每秒",
                                  "!iLedRectangleX3",      "Label5=Roll:-0.5",
                                  "Label6=Pitch:3.0"};
    QCOMPARE(sink.calls, expected);
    QCOMPARE(state.Yaw, -12.5);
    QCOMPARE(state.Pitch, 3.0);
    QCOMPARE(state.Roll, -0.5);
    QCOMPARE(state.Altitude, 123.4);
    QCOMPARE(state.ImuFrameCount, qint16(1));
    // The receiver sets the flags, not the decoder.
    QVERIFY(!state.ImuUpdated);

    QCOMPARE(sink.imuRows.size(), 1);
    const ImuReadings& row = sink.imuRows.first();
    QCOMPARE(row.Yaw, -12.5);
    QCOMPARE(row.Pitch, 3.0);
    QCOMPARE(row.Roll, -0.5);
    QCOMPARE(row.Altitude, 123.4);
    QCOMPARE(row.Temperature, 25.1);
    QCOMPARE(row.Pressure, 101320.0);

    Decode_IMU(rxFrame(0xA1, ImuPayload), state, &sink);
    QCOMPARE(state.ImuFrameCount, qint16(2));
    QCOMPARE(sink.calls.count("!iLedRectangleX3"), 2);
}

void TestTelemetryDecoder::imuFields_data() {
    QTest::addColumn<int>("offset");  // payload offset of the field
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("temperature 0x00FB") << 8 << hex("00FB") << "Label17"
                                        << "温度:25.1度";
    QTest::newRow("temperature caption") << 8 << hex("00FB") << "iLabelX1"
                                         << "25.1C";
    QTest::newRow("negative temperature") << 8 << hex("8064") << "iLabelX1"
                                          << "-10.0C";
    QTest::newRow("pressure in pascal") << 10 << hex("2794") << "Label18"
                                        << "气压:101320Pa";
    QTest::newRow("pressure 0") << 10 << hex("8000") << "Label18"
                                << "气压:0Pa";
    QTest::newRow("altitude 0x8000 is 0") << 6 << hex("8000") << "Label3"
                                          << "0.0m";
    QTest::newRow("altitude 0x8005 is -0.5") << 6 << hex("8005") << "Label3"
                                             << "-0.5m";
    QTest::newRow("altitude 0x0005 is 0.5") << 6 << hex("0005") << "Label16"
                                            << "高度:0.5m";
    QTest::newRow("largest altitude") << 6 << hex("7FFF") << "Label3"
                                      << "3276.7m";
    QTest::newRow("lowest altitude") << 6 << hex("FFFF") << "Label3"
                                     << "-3276.7m";
    QTest::newRow("roll") << 4 << hex("8005") << "Label5"
                          << "Roll:-0.5";
    QTest::newRow("pitch") << 2 << hex("0384") << "Label6"
                           << "Pitch:90.0";
    QTest::newRow("rate is not scaled") << 12 << hex("0032") << "Label24"
                                        << "姿态解算:50 次每秒";
}

void TestTelemetryDecoder::imuFields() {
    QFETCH(int, offset);
    QFETCH(QByteArray, field);
    QFETCH(QString, control);
    QFETCH(QString, text);
    QByteArray payload(14, '\0');
    payload.replace(offset, 2, field);
    TelemetryState state;
    RecordingSink sink;
    Decode_IMU(rxFrame(0xA1, payload), state, &sink);
    QCOMPARE(sink.text(control), text);
}

void TestTelemetryDecoder::shortImuFrames_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QStringList>("controls");  // controls the frame updates, in order
    QTest::addColumn<bool>("yaw");              // the frame's yaw is stored
    QTest::addColumn<bool>("row");
    const QString lamp = "iLedRectangleX3";
    QTest::newRow("no payload") << rxFrame(0xA1, {}) << QStringList{lamp} << false << false;
    QTest::newRow("one byte") << rxFrame(0xA1, ImuPayload.left(1)) << QStringList{lamp} << false
                              << false;
    QTest::newRow("yaw only") << rxFrame(0xA1, ImuPayload.left(2)) << QStringList{lamp} << true
                              << false;
    QTest::newRow("half the altitude") << rxFrame(0xA1, ImuPayload.left(7))
                                       << QStringList{lamp, "Label5", "Label6"} << true << false;
    QStringList allButRate = {"iLedBarX1", "Label3",  "Label16", "iThermometerX1", "Label17",
                              "iLabelX1",  "Label18", lamp,      "Label5",         "Label6"};
    // The rate's low byte would be the checksum.
    QTest::newRow("no room for the rate")
        << rxFrame(0xA1, ImuPayload.left(13)) << allButRate << true << false;
    QStringList all = allButRate;
    all.insert(7, "Label24");
    QTest::newRow("complete") << rxFrame(0xA1, ImuPayload) << all << true << true;
    // A length byte announcing less than the bytes that came: the length byte wins.
    QByteArray claimsTwo = rxFrame(0xA1, ImuPayload);
    claimsTwo[0] = char(6);
    QTest::newRow("length byte says yaw only") << claimsTwo << QStringList{lamp} << true << false;
    QTest::newRow("empty RxFrame") << QByteArray() << QStringList{lamp} << false << false;
    QTest::newRow("length byte only") << hex("12") << QStringList{lamp} << false << false;
}

void TestTelemetryDecoder::shortImuFrames() {
    QFETCH(QByteArray, frame);
    QFETCH(QStringList, controls);
    QFETCH(bool, yaw);
    QFETCH(bool, row);
    TelemetryState state;
    state.Yaw = state.Pitch = state.Roll = state.Altitude = 77.0;
    RecordingSink sink;
    Decode_IMU(QByteArray(frame.constData(), frame.size()), state, &sink);
    QCOMPARE(sink.controls(), controls);
    QCOMPARE(state.Yaw, yaw ? -12.5 : 77.0);
    if (!controls.contains("Label3")) QCOMPARE(state.Altitude, 77.0);
    QCOMPARE(sink.imuRows.size(), row ? 1 : 0);
    QCOMPARE(state.ImuFrameCount, qint16(1));
}

void TestTelemetryDecoder::bytesBeyondTheLayoutAreNotRead() {
    TelemetryState a, b;
    RecordingSink exact, longer;
    Decode_IMU(rxFrame(0xA1, ImuPayload), a, &exact);
    Decode_IMU(rxFrame(0xA1, ImuPayload + hex("FFFFFFFF")), b, &longer);
    QCOMPARE(longer.calls, exact.calls);
    QCOMPARE(longer.imuRows.size(), 1);

    RecordingSink motion;
    Decode_Motion(rxFrame(0xA2, MotionPayload + hex("8001")), a, &motion);
    QCOMPARE(motion.calls.size(), 9);
    QCOMPARE(motion.motionRows.size(), 1);
}

void TestTelemetryDecoder::withoutSinkStateStillUpdates() {
    TelemetryState state;
    Decode_IMU(rxFrame(0xA1, ImuPayload), state, nullptr);
    Decode_Motion(rxFrame(0xA2, MotionPayload), state, nullptr);
    QCOMPARE(state.Roll, -0.5);
    QCOMPARE(state.ImuFrameCount, qint16(1));
    QCOMPARE(state.GyroY, -32767.0);
}

void TestTelemetryDecoder::motionInOrder() {
    TelemetryState state;
    RecordingSink sink;
    Decode_Motion(rxFrame(0xA2, MotionPayload), state, &sink);
    const QStringList expected = {"Label7= AX:1",    "Label8= AY:-2",      "Label9= AZ:16384",
                                  "Label10= GX:0",   "Label11= GY:-32767", "Label12= GZ:32767",
                                  "Label13= MX:251", "Label14= MY:-251",   "Label15= MZ:0"};
    QCOMPARE(sink.calls, expected);
    const double values[] = {state.AccX,  state.AccY, state.AccZ, state.GyroX, state.GyroY,
                             state.GyroZ, state.MagX, state.MagY, state.MagZ};
    const double want[] = {1, -2, 16384, 0, -32767, 32767, 251, -251, 0};
    for (int i = 0; i < 9; ++i) QCOMPARE(values[i], want[i]);

    QCOMPARE(sink.motionRows.size(), 1);
    QCOMPARE(sink.motionRows.first().rowText(),
             QStringLiteral("1,-2,16384,0,-32767,32767,251,-251,0"));
    // MotionText is the recorder's to keep (it depends on the recording mode).
    QVERIFY(state.MotionText.isEmpty());
    QCOMPARE(state.ImuFrameCount, qint16(0));
}

void TestTelemetryDecoder::shortMotionFrames_data() {
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<int>("fields");
    QTest::newRow("no payload") << 0 << 0;
    QTest::newRow("one byte") << 1 << 0;
    QTest::newRow("two fields and a half") << 5 << 2;
    QTest::newRow("last field cut") << 17 << 8;
    QTest::newRow("complete") << 18 << 9;
}

void TestTelemetryDecoder::shortMotionFrames() {
    QFETCH(int, payloadSize);
    QFETCH(int, fields);
    TelemetryState state;
    state.MagZ = 5;
    state.AccY = 5;
    RecordingSink sink;
    Decode_Motion(rxFrame(0xA2, MotionPayload.left(payloadSize)), state, &sink);
    QCOMPARE(sink.calls.size(), fields);
    QCOMPARE(state.AccY, fields >= 2 ? -2.0 : 5.0);
    QCOMPARE(state.MagZ, fields == 9 ? 0.0 : 5.0);
    QCOMPARE(sink.motionRows.size(), fields == 9 ? 1 : 0);
}

QTEST_APPLESS_MAIN(TestTelemetryDecoder)
#include "tst_telemetry_decoder.moc"
