// Vantor's receiver: every stream is fed in several chunkings and must give the same events.
#include <QtTest>
#include <stdexcept>

#include "protocol/frame.h"
#include "protocol/module_frame_receiver.h"
#include "support_receiver_feed.h"

using namespace ReceiverFeed;

namespace {

const QString Checksum = QStringLiteral("checksum");
const QString Overlong = QStringLiteral("overlong");
QString good(const QByteArray& rxFrame) {
    return QStringLiteral("good ") + text(rxFrame);
}
QString good(const char* rxFrameHex) {
    return good(hex(rxFrameHex));
}
QString goodOf(const QByteArray& wire) {
    return good(wire.mid(2, wire.size() - 3));
}
QString byte(quint8 b) {
    return QStringLiteral("byte %1").arg(b, 2, 16, QChar('0')).toUpper();
}

struct Recorder {
    ModuleFrameReceiver rx;
    QStringList events;
    explicit Recorder(bool withHook = false) {
        rx.onGoodFrame = [this] { events << good(rx.RxFrame()); };
        rx.onChecksumError = [this] { events << Checksum; };
        rx.onOverlong = [this] { events << Overlong; };
        if (withHook) rx.onByte = [this](quint8 b) { events << byte(b); };
    }
};

const QByteArray E0 = hex("A5 5A 04 E0 E4 AA");  // empty payload, a type no action handles
const QByteArray E1 = hex("A5 5A 04 E1 E5 AA");

// 32761 stored bytes: one more than the receiver keeps.
QByteArray overlongFrame() {
    return hex("A5 5A 05") + run(32760);
}

}  // namespace

class TestModuleFrameReceiver : public QObject {
    Q_OBJECT
private slots:
    void events_data();
    void events();
    void upgradeHookSeesEveryByteFirst();
    void upgradeHookMayEndItself();
    void rxFrameLivesUntilTheNextGoodFrame();
    void callbackMayResetTheReceiver();
    void throwingCallbackLosesNoBytes();
};

void TestModuleFrameReceiver::events_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<int>>("resets");  // Reset() before the byte at these offsets
    QTest::addColumn<QStringList>("want");
    const QList<int> none;

    QByteArray imuPayload = plainPayload(14);
    imuPayload[5] = char(0xA5);
    imuPayload[6] = char(0x5A);
    const QByteArray imu = Frame::build(0xA1, imuPayload);
    const QByteArray motion = Frame::build(0xA2, plainPayload(18));

    // Frames and header recognition.
    QTest::newRow("empty payload") << E0 << none << QStringList{good("04 E0 E4")};
    QTest::newRow("frames in arrival order")
        << imu + motion + E0 << none << QStringList{goodOf(imu), goodOf(motion), goodOf(E0)};
    QTest::newRow("0x5A without 0xA5 right after start")
        << hex("5A 04 E0 E4 AA") << none << QStringList{goodOf(E0)};
    QTest::newRow("bytes between 0xA5 and 0x5A")
        << hex("A5 11 22 5A 04 E0 E4 AA") << none << QStringList{goodOf(E0)};
    QTest::newRow("0xA5 0x5A inside the payload is data")
        << imu << none << QStringList{goodOf(imu)};
    QTest::newRow("a second header right after the first is data")
        << hex("A5 5A") + E0 << none << QStringList{};
    QTest::newRow("0xAA inside the payload")
        << Frame::build(0xB5, hex("AA 01 AA 02 AA 03")) << none
        << QStringList{goodOf(Frame::build(0xB5, hex("AA 01 AA 02 AA 03")))};

    // Re-dispatch, checksum, and the counters starting again after a tail test.
    QTest::newRow("second tail delivers the frame again")
        << E0 + hex("AA") << none << QStringList{goodOf(E0), goodOf(E0)};
    QTest::newRow("tail after other bytes delivers it again")
        << E0 + hex("11 22 AA") << none << QStringList{goodOf(E0), goodOf(E0)};
    QTest::newRow("tail after a checksum error is ignored")
        << hex("A5 5A 04 E0 E5 AA AA") << none << QStringList{Checksum};
    QTest::newRow("after a good frame a lone 0x5A is a header")
        << E0 + hex("5A 04 E1 E5 AA") << none << QStringList{goodOf(E0), goodOf(E1)};
    QTest::newRow("after a checksum error a lone 0x5A is a header")
        << hex("A5 5A 04 E0 E5 AA 5A 04 E1 E5 AA") << none << QStringList{Checksum, goodOf(E1)};

    // A frame in progress is only restarted by a wrapped position counter.
    QTest::newRow("wrong tail byte: the next header is data")
        << hex("A5 5A 04 E0 E4 AB") + E1 << none << QStringList{};
    QTest::newRow("stored 0x5A restarts once the counter wrapped back to the marker")
        << hex("A5 5A FF") + run(198) + hex("5A 04 E0 E4 AA") << none << QStringList{goodOf(E0)};
    QTest::newRow("one byte earlier it does not")
        << hex("A5 5A FF") + run(197) + hex("5A 04 E0 E4 AA") << none << QStringList{};
    QTest::newRow("one byte later it does not")
        << hex("A5 5A FF") + run(199) + hex("5A 04 E0 E4 AA") << none << QStringList{};

    // Length byte.
    QTest::newRow("length 0xFF ends after 2005 stored bytes")
        << hex("A5 5A FF 10") + run(2002) + hex("0F AA") << none
        << QStringList{good(hex("FF 10") + run(2002) + hex("0F"))};
    QTest::newRow("length 0xFF is not 255")
        << hex("A5 5A FF 10") + run(251) + hex("0F AA") << none << QStringList{};
    QTest::newRow("length 254 is delivered")
        << Frame::build(0x33, plainPayload(250)) << none
        << QStringList{goodOf(Frame::build(0x33, plainPayload(250)))};
    QTest::newRow("length 0 never completes") << hex("A5 5A 00 AA AA") << none << QStringList{};
    QTest::newRow("length 1 never completes") << hex("A5 5A 01 AA AA") << none << QStringList{};
    QTest::newRow("length 2 fails at the next tail")
        << hex("A5 5A 02 AA") << none << QStringList{Checksum};
    QTest::newRow("length 3 is a two-byte frame")
        << hex("A5 5A 03 03 AA") << none << QStringList{good("03 03")};

    // The 32760-byte limit.
    QTest::newRow("32760 stored bytes are kept")
        << hex("A5 5A 05") + run(32759) << none << QStringList{};
    QTest::newRow("32761 stored bytes are overlong")
        << overlongFrame() << none << QStringList{Overlong};
    QTest::newRow("overlong, then the tail is ignored")
        << overlongFrame() + hex("AA") << none << QStringList{Overlong};
    // The byte that ends the frame moves the fresh counter, so a lone 0x5A is data ...
    QTest::newRow("overlong, then a lone 0x5A is no header")
        << overlongFrame() + hex("5A 04 E0 E4 AA") << none << QStringList{Overlong};
    // ... and a real header works.
    QTest::newRow("overlong, then a whole frame")
        << overlongFrame() + E0 << none << QStringList{Overlong, goodOf(E0)};

    // Reset.
    QTest::newRow("reset, then the tail of the interrupted frame")
        << E0 << QList<int>{5} << QStringList{};
    QTest::newRow("reset ends the re-dispatch")
        << E0 + hex("AA") << QList<int>{6} << QStringList{goodOf(E0)};
    QTest::newRow("reset inside a frame, then a lone 0x5A is a header")
        << hex("A5 5A 04 E0 5A 04 E1 E5 AA") << QList<int>{4} << QStringList{goodOf(E1)};
    QTest::newRow("reset after overlong zeroes the counter")
        << overlongFrame() + hex("5A 04 E0 E4 AA") << QList<int>{int(overlongFrame().size())}
        << QStringList{Overlong, goodOf(E0)};
}

void TestModuleFrameReceiver::events() {
    QFETCH(QByteArray, stream);
    QFETCH(QList<int>, resets);
    QFETCH(QStringList, want);
    for (const Chunking& c : chunkings(stream.size())) {
        Recorder r;
        feed(r.rx, stream, c.sizes, resets);
        if (r.events != want) QFAIL(qPrintable(mismatch(c.name, r.events, want)));
    }
}

void TestModuleFrameReceiver::upgradeHookSeesEveryByteFirst() {
    const QByteArray stream = E0 + hex("AA");
    QStringList want;
    for (int i = 0; i < 6; ++i) want << byte(quint8(E0[i]));
    want << goodOf(E0) << byte(0xAA) << goodOf(E0);
    for (const Chunking& c : chunkings(stream.size())) {
        Recorder r(true);
        feed(r.rx, stream, c.sizes);
        if (r.events != want) QFAIL(qPrintable(mismatch(c.name, r.events, want)));
    }
}

void TestModuleFrameReceiver::upgradeHookMayEndItself() {
    // The updater's hook ends the upgrade from inside itself; the rest of the chunk goes on to
    // the frame logic alone.
    Recorder r;
    int seen = 0;
    r.rx.onByte = [&, big = QByteArray(64, 'x')](quint8) {
        if (++seen == 3) r.rx.onByte = nullptr;
        QCOMPARE(big.size(), 64);
    };
    r.rx.Feed(E0 + E1);
    QCOMPARE(seen, 3);
    QCOMPARE(r.events, (QStringList{goodOf(E0), goodOf(E1)}));
}

void TestModuleFrameReceiver::rxFrameLivesUntilTheNextGoodFrame() {
    Recorder r;
    QByteArray kept;
    r.rx.onGoodFrame = [&] { kept = r.rx.RxFrame(); };
    r.rx.Feed(hex("A5 5A FF 10") + run(2002) + hex("0F AA"));
    QCOMPARE(r.rx.RxFrame().size(), 2005);
    r.rx.Feed(hex("A5 5A 04 E1 E4 AA") + overlongFrame());
    r.rx.Reset();
    QCOMPARE(r.rx.RxFrame().size(), 2005);
    const QByteArray first = kept;
    r.rx.onGoodFrame = nullptr;
    r.rx.Feed(E0);
    QCOMPARE(kept, first);
    QCOMPARE(text(r.rx.RxFrame()), QStringLiteral("04 E0 E4"));
}

void TestModuleFrameReceiver::callbackMayResetTheReceiver() {
    Recorder r;
    r.rx.onGoodFrame = [&] {
        r.events << good(r.rx.RxFrame());
        r.rx.Reset();
    };
    r.rx.Feed(E0 + hex("AA") + E1);
    QCOMPARE(r.events, (QStringList{goodOf(E0), goodOf(E1)}));
}

void TestModuleFrameReceiver::throwingCallbackLosesNoBytes() {
    Recorder r(true);
    r.rx.onByte = [&](quint8 b) {
        if (b == 0xE1) throw std::runtime_error("updater failed");
    };
    r.rx.onGoodFrame = [&] {
        r.events << good(r.rx.RxFrame());
        throw std::logic_error("decoder failed");
    };
    try {
        r.rx.Feed(E0 + E1 + hex("A5 5A 04 E2 E5 AA"));
        QFAIL("no exception");
    } catch (const std::logic_error& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("decoder failed"));
    }
    QCOMPARE(r.events, (QStringList{goodOf(E0), goodOf(E1), Checksum}));
    // Still in step: a frame split around a throwing hook completes.
    r.events.clear();
    r.rx.onGoodFrame = [&] { r.events << good(r.rx.RxFrame()); };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, r.rx.Feed(hex("A5 5A 04 E1")));
    r.rx.Feed(hex("E5 AA"));
    QCOMPARE(r.events, QStringList{goodOf(E1)});
}

QTEST_APPLESS_MAIN(TestModuleFrameReceiver)
#include "tst_module_frame_receiver.moc"
