// Field encodings of the frames' payloads: sign and magnitude (no two's complement), readers
// that refuse a field not completely inside the bytes and leave the output alone, and the
// writers' round trips with their byte order and clipping.
#include <QTest>
#include <cmath>
#include <limits>

#include "protocol/fields.h"

class TestFields : public QObject {
    Q_OBJECT
private slots:
    void signMagnitude_data();
    void signMagnitude();
    void readersRefuseShortInput_data();
    void readersRefuseShortInput();
    void sixteenBitRoundTrips_data();
    void sixteenBitRoundTrips();
    void signMagnitudeClipsTo15Bits();
    void thirtyTwoBitByteOrder();
    void floatRoundTrips_data();
    void floatRoundTrips();
};

void TestFields::signMagnitude_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << QByteArray::fromHex("0000") << 0;
    QTest::newRow("+5") << QByteArray::fromHex("0005") << 5;
    QTest::newRow("minus zero is 0") << QByteArray::fromHex("8000") << 0;
    QTest::newRow("-5") << QByteArray::fromHex("8005") << -5;
    QTest::newRow("high byte first") << QByteArray::fromHex("00FB") << 251;
    QTest::newRow("largest") << QByteArray::fromHex("7FFF") << 32767;
    QTest::newRow("FFFF is -32767, not -1") << QByteArray::fromHex("FFFF") << -32767;
    QTest::newRow("pressure field") << QByteArray::fromHex("2794") << 10132;
}

void TestFields::signMagnitude() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, value);
    int v = 12345;
    QVERIFY(Field::sm16be(bytes, 0, &v));
    QCOMPARE(v, value);
    // The same bytes further into a frame.
    QVERIFY(Field::sm16be(QByteArray(3, '\x11') + bytes, 3, &v));
    QCOMPARE(v, value);
}

// reader: which reader; size: its field size; length: bytes available; index: where it reads.
void TestFields::readersRefuseShortInput_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("ok");
    const struct {
        const char* name;
        int size;
    } readers[] = {{"u8", 1},     {"u16be", 2}, {"s16be", 2},
                   {"sm16be", 2}, {"s32be", 4}, {"f32le", 4}};
    for (const auto& r : readers) {
        const QByteArray n = r.name;
        QTest::newRow(n + " fits exactly") << r.name << 2 + r.size << 2 << true;
        QTest::newRow(n + " one byte short") << r.name << 2 + r.size - 1 << 2 << false;
        QTest::newRow(n + " at the end") << r.name << 6 << 6 << false;
        QTest::newRow(n + " past the end") << r.name << 6 << 100 << false;
        QTest::newRow(n + " negative index") << r.name << 6 << -1 << false;
        QTest::newRow(n + " empty input") << r.name << 0 << 0 << false;
        QTest::newRow(n + " index near INT_MAX") << r.name << 6 << INT_MAX - 1 << false;
    }
}

void TestFields::readersRefuseShortInput() {
    QFETCH(QString, reader);
    QFETCH(int, length);
    QFETCH(int, index);
    QFETCH(bool, ok);
    // Bytes 0x81.. so every reader sees a value different from the sentinel.
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i) bytes[i] = char(0x81 + i);
    // A copy cut to length, so reading a byte past it is seen by the sanitizers.
    bytes = QByteArray(bytes.constData(), length);

    bool result = false;
    bool untouched = true;
    if (reader == "s32be") {
        qint32 v = 0x5A5A5A5A;
        result = Field::s32be(bytes, index, &v);
        untouched = v == 0x5A5A5A5A;
    } else if (reader == "f32le") {
        float v = 42.0f;
        result = Field::f32le(bytes, index, &v);
        untouched = v == 42.0f;
    } else {
        int v = 0x5A5A5A5A;
        if (reader == "u8") result = Field::u8(bytes, index, &v);
        if (reader == "u16be") result = Field::u16be(bytes, index, &v);
        if (reader == "s16be") result = Field::s16be(bytes, index, &v);
        if (reader == "sm16be") result = Field::sm16be(bytes, index, &v);
        untouched = v == 0x5A5A5A5A;
    }
    QCOMPARE(result, ok);
    QCOMPARE(untouched, !ok);
}

void TestFields::sixteenBitRoundTrips_data() {
    QTest::addColumn<int>("value");
    for (int v : {0, 1, -1, 5, -5, 251, -251, 255, 256, -256, 10132, 32767, -32767})
        QTest::newRow(QByteArray::number(v)) << v;
}

void TestFields::sixteenBitRoundTrips() {
    QFETCH(int, value);
    QByteArray b;
    Field::putSm16be(b, value);
    Field::putS16be(b, value);
    QCOMPARE(b.size(), 4);
    int sm = 0, s = 0;
    QVERIFY(Field::sm16be(b, 0, &sm));
    QVERIFY(Field::s16be(b, 2, &s));
    QCOMPARE(sm, value);
    QCOMPARE(s, value);
    // Sign and magnitude differ from two's complement only in the negative numbers.
    QCOMPARE(b.left(2) == b.mid(2, 2), value >= 0);
}

void TestFields::signMagnitudeClipsTo15Bits() {
    QByteArray b;
    Field::putSm16be(b, 40000);
    Field::putSm16be(b, -40000);
    QCOMPARE(b, QByteArray::fromHex("7FFFFFFF"));
    QByteArray u;
    Field::putU16be(u, 0xABCD);
    QCOMPARE(u, QByteArray::fromHex("ABCD"));
}

void TestFields::thirtyTwoBitByteOrder() {
    QByteArray b;
    Field::putS32be(b, 0x01020304);
    Field::putS32be(b, -2);
    Field::putS32be(b, std::numeric_limits<qint32>::min());
    QCOMPARE(b, QByteArray::fromHex("01020304FFFFFFFE80000000"));
    qint32 v = 0;
    QVERIFY(Field::s32be(b, 4, &v));
    QCOMPARE(v, -2);
    QVERIFY(Field::s32be(b, 8, &v));
    QCOMPARE(v, std::numeric_limits<qint32>::min());
}

void TestFields::floatRoundTrips_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("bytes");  // little-endian IEEE single
    QTest::newRow("one") << 1.0f << QByteArray::fromHex("0000803F");
    QTest::newRow("-2.5") << -2.5f << QByteArray::fromHex("000020C0");
    QTest::newRow("P gain") << 0.15f << QByteArray::fromHex("9A99193E");
    QTest::newRow("minus zero") << -0.0f << QByteArray::fromHex("00000080");
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity()
                              << QByteArray::fromHex("0000807F");
}

void TestFields::floatRoundTrips() {
    QFETCH(float, value);
    QFETCH(QByteArray, bytes);
    QByteArray b;
    Field::putF32le(b, value);
    QCOMPARE(b, bytes);
    float back = 0;
    QVERIFY(Field::f32le(b, 0, &back));
    QCOMPARE(back, value);
    QCOMPARE(std::signbit(back), std::signbit(value));
}

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
