// Torvik's receiver: every stream is fed in several chunkings and must give the same events.
#include <QtTest>
#include <stdexcept>

#include "protocol/frame.h"
#include "protocol/frame_receiver.h"
#include "support_receiver_feed.h"

using namespace ReceiverFeed;

namespace {

const QString NoHeader = QStringLiteral("no header");
const QString Checksum = QStringLiteral("checksum");
QString good(const QByteArray& rxFrame) {
    return QStringLiteral("good ") + text(rxFrame);
}
QString good(const char* rxFrameHex) {
    return good(hex(rxFrameHex));
}
// What a whole frame on the wire leaves in RxFrame: no header, no tail.
QString goodOf(const QByteArray& wire) {
    return good(wire.mid(2, wire.size() - 3));
}

// A receiver whose callbacks write the events into a list.
struct Recorder {
    FrameReceiver rx;
    QStringList events;
    Recorder() {
        rx.onGoodFrame = [this] { events << good(rx.RxFrame()); };
        rx.onChecksumError = [this] { events << Checksum; };
        rx.onHeaderMissing = [this] { events << NoHeader; };
    }
};

const QByteArray E0 = hex("A5 5A 04 E0 E4 AA");  // empty payload, a type without a decoder
const QByteArray E1 = hex("A5 5A 04 E1 E5 AA");

}  // namespace

class TestFrameReceiver : public QObject {
    Q_OBJECT
private slots:
    void events_data();
    void events();
    void headerCounterRestartsAtStartUp();
    void rxFrameLivesUntilTheNextGoodFrame();
    void callbackMayResetTheReceiver();
    void throwingCallbackLosesNoBytes();
    void callbackMayFeedMoreBytes();
    void callbackMayClearItself();
};

void TestFrameReceiver::events_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<int>>("resets");  // Reset() before the byte at these offsets
    QTest::addColumn<QStringList>("want");
    const QList<int> none;

    const QByteArray imu = Frame::build(0xA1, plainPayload(14));
    const QByteArray motion = Frame::build(0xA2, plainPayload(18));

    // Frames and their order.
    QTest::newRow("empty payload") << E0 << none << QStringList{good("04 E0 E4")};
    QTest::newRow("frames in arrival order")
        << imu + motion + E0 << none << QStringList{goodOf(imu), goodOf(motion), goodOf(E0)};
    QTest::newRow("noise between frames") << hex("00 AA 13") + E0 + hex("37 A5 00") + E1 << none
                                          << QStringList{goodOf(E0), goodOf(E1)};
    QTest::newRow("0xAA inside the payload") << Frame::build(0xA1, hex("AA AA 01 AA")) << none
                                             << QStringList{good("08 A1 AA AA 01 AA A8")};
    QTest::newRow("0xA5 inside the payload, no 0x5A after it")
        << Frame::build(0xA2, hex("A5 01 A5 02")) << none
        << QStringList{good("08 A2 A5 01 A5 02 F7")};

    // Re-dispatch: the count and length still describe the last good frame.
    QTest::newRow("second tail delivers the frame again")
        << E0 + hex("AA") << none << QStringList{goodOf(E0), goodOf(E0)};
    QTest::newRow("tail after other bytes delivers it again")
        << E0 + hex("11 22 AA") << none << QStringList{goodOf(E0), goodOf(E0)};
    QTest::newRow("a new header ends the re-dispatch")
        << E0 + hex("A5 5A AA") << none << QStringList{goodOf(E0)};

    // Checksum.
    QTest::newRow("checksum off by one, then a good frame")
        << hex("A5 5A 04 E0 E5 AA") + E1 << none << QStringList{Checksum, goodOf(E1)};
    QTest::newRow("tail after a checksum error is ignored")
        << hex("A5 5A 04 E0 E5 AA AA") << none << QStringList{Checksum};

    // Header recognition.
    QTest::newRow("0x5A after 0xA5 at any distance")
        << hex("A5 11 22 33 5A 04 E0 E4 AA") << none << QStringList{goodOf(E0)};
    QTest::newRow("0x5A without 0xA5 is no header")
        << hex("5A 04 E0 E4 AA") << none << QStringList{};
    QTest::newRow("repeated header restarts")
        << hex("A5 5A") + E0 << none << QStringList{goodOf(E0)};
    QTest::newRow("0xA5 then 0x5A inside a frame restart it")
        << hex("A5 5A 08 A1 A5 00 5A 04 E0 E4 AA") << none << QStringList{good("04 E0 E4")};
    QTest::newRow("a bad frame consumes the 0xA5 in it")
        << hex("A5 5A 05 A1 A5 00 AA 5A 04 E0 E4 AA") << none << QStringList{Checksum};
    // Checksum 0xA5 arms; the completed frame disarms, so the 0x5A is data and the last 0xAA
    // finds the old frame still described.
    QTest::newRow("a good frame consumes the 0xA5 in it")
        << hex("A5 5A 04 A1 A5 AA 5A 04 E0 E4 AA") << none
        << QStringList{good("04 A1 A5"), good("04 A1 A5")};

    // Tail position.
    QTest::newRow("wrong tail byte never completes")
        << hex("A5 5A 04 E0 E4 AB AA") << none << QStringList{};
    QTest::newRow("wrong tail byte, abandoned at the next header")
        << hex("A5 5A 04 E0 E4 AB") + E1 << none << QStringList{goodOf(E1)};
    QTest::newRow("length 0 never completes") << hex("A5 5A 00 AA AA") << none << QStringList{};
    QTest::newRow("length 1 never completes") << hex("A5 5A 01 AA AA") << none << QStringList{};
    QTest::newRow("length 2 fails at the next tail")
        << hex("A5 5A 02 AA") << none << QStringList{Checksum};
    QTest::newRow("length 3 is a two-byte frame")
        << hex("A5 5A 03 03 AA") << none << QStringList{good("03 03")};
    QTest::newRow("0xAA as the length byte is stored")
        << hex("A5 5A AA AA") << none << QStringList{};

    // Storing stops after 101 bytes: L = 102 is the longest frame; the diagnostic falls inside
    // every frame of L >= 100 (the 0x5A counts as the first byte after the header).
    const QByteArray l100 = Frame::build(0x10, plainPayload(96));
    const QByteArray l101 = Frame::build(0x10, plainPayload(97));
    const QByteArray l102 = Frame::build(0x10, plainPayload(98));
    const QByteArray l103 = Frame::build(0x10, plainPayload(99));
    QTest::newRow("L = 100: diagnostic on its tail, after the frame")
        << l100 << none << QStringList{goodOf(l100), NoHeader};
    QTest::newRow("L = 101: diagnostic on its checksum")
        << l101 << none << QStringList{NoHeader, goodOf(l101)};
    QTest::newRow("L = 102 is delivered") << l102 << none << QStringList{NoHeader, goodOf(l102)};
    QTest::newRow("L = 103 is dropped, the next frame is not")
        << l103 + E0 << none << QStringList{NoHeader, goodOf(E0)};
    QTest::newRow("0x5A as the 100th stored byte restarts")
        << hex("A5 5A 70") + plainPayload(49) + hex("A5") + plainPayload(48) + hex("5A") +
               hex("04 E0 E4 AA")
        << none << QStringList{good("04 E0 E4")};
    QTest::newRow("0x5A as the 101st stored byte does not")
        << hex("A5 5A 70") + plainPayload(49) + hex("A5") + plainPayload(49) + hex("5A") +
               hex("04 E0 E4 AA")
        << none << QStringList{NoHeader};
    QTest::newRow("0xA5 as the 101st stored byte arms after the stop")
        << hex("A5 5A 70") + plainPayload(99) + hex("A5") + hex("5A 04 E0 E4 AA") << none
        << QStringList{NoHeader, good("04 E0 E4")};

    // Missing-header diagnostic: after 100 bytes past the last header, then every 101.
    QTest::newRow("100 bytes without header") << run(100) << none << QStringList{};
    QTest::newRow("101 bytes without header") << run(101) << none << QStringList{NoHeader};
    QTest::newRow("201 bytes without header") << run(201) << none << QStringList{NoHeader};
    QTest::newRow("202 bytes without header")
        << run(202) << none << QStringList{NoHeader, NoHeader};
    QTest::newRow("99 bytes after a header") << hex("A5 5A") + run(99) << none << QStringList{};
    QTest::newRow("100 bytes after a header")
        << hex("A5 5A") + run(100) << none << QStringList{NoHeader};
    QTest::newRow("0x5A alone does not restart the count")
        << run(60) + hex("5A") + run(40) << none << QStringList{NoHeader};

    // Reset.
    QTest::newRow("reset, then the tail of the interrupted frame")
        << E0 << QList<int>{5} << QStringList{};
    QTest::newRow("reset disarms a waiting 0xA5") << E0 << QList<int>{1} << QStringList{};
    QTest::newRow("reset ends the re-dispatch")
        << E0 + hex("AA") << QList<int>{6} << QStringList{goodOf(E0)};
    QTest::newRow("reset inside a frame, then a new frame")
        << hex("A5 5A 04 E0") + E1 << QList<int>{4} << QStringList{goodOf(E1)};
    QTest::newRow("reset keeps the no-header counter")
        << run(101) << QList<int>{60} << QStringList{NoHeader};
}

void TestFrameReceiver::events() {
    QFETCH(QByteArray, stream);
    QFETCH(QList<int>, resets);
    QFETCH(QStringList, want);
    for (const Chunking& c : chunkings(stream.size())) {
        Recorder r;
        feed(r.rx, stream, c.sizes, resets);
        if (r.events != want) QFAIL(qPrintable(mismatch(c.name, r.events, want)));
    }
}

void TestFrameReceiver::headerCounterRestartsAtStartUp() {
    Recorder r;
    r.rx.Feed(run(60));
    r.rx.ResetNoHeaderCounter();
    r.rx.Feed(run(100));
    QCOMPARE(r.events, QStringList{});
    r.rx.Feed(run(1));
    QCOMPARE(r.events, QStringList{NoHeader});
}

void TestFrameReceiver::rxFrameLivesUntilTheNextGoodFrame() {
    Recorder r;
    QByteArray kept;
    r.rx.onGoodFrame = [&] { kept = r.rx.RxFrame(); };
    r.rx.Feed(E0);
    QCOMPARE(text(r.rx.RxFrame()), QStringLiteral("04 E0 E4"));
    // A bad frame, a dropped frame and a reset leave it alone.
    r.rx.Feed(hex("A5 5A 04 E1 E4 AA A5 5A 05 33"));
    r.rx.Reset();
    QCOMPARE(text(r.rx.RxFrame()), QStringLiteral("04 E0 E4"));
    // A caller's copy is not overwritten by the next frame (RxFrame reuses its storage).
    const QByteArray first = kept;
    r.rx.onGoodFrame = nullptr;
    r.rx.Feed(Frame::build(0xA1, plainPayload(14)));
    QCOMPARE(kept, first);
    QCOMPARE(text(kept), QStringLiteral("04 E0 E4"));
    QCOMPARE(r.rx.RxFrame().size(), 17);
}

void TestFrameReceiver::callbackMayResetTheReceiver() {
    Recorder r;
    r.rx.onGoodFrame = [&] {
        r.events << good(r.rx.RxFrame());
        r.rx.Reset();
    };
    // The reset takes effect at once: the next 0xAA finds nothing to deliver again, and the
    // 0xA5 that follows still arms.
    r.rx.Feed(E0 + hex("AA") + E1);
    QCOMPARE(r.events, (QStringList{goodOf(E0), goodOf(E1)}));
}

void TestFrameReceiver::throwingCallbackLosesNoBytes() {
    Recorder r;
    r.rx.onGoodFrame = [&] {
        r.events << good(r.rx.RxFrame());
        throw std::runtime_error("decoder failed");
    };
    r.rx.onChecksumError = [&] {
        r.events << Checksum;
        throw std::logic_error("second failure");
    };
    // Every frame of the chunk is still handled; the first exception comes out at its end.
    try {
        r.rx.Feed(E0 + hex("A5 5A 04 E0 E5 AA") + E1);
        QFAIL("no exception");
    } catch (const std::runtime_error& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("decoder failed"));
    }
    QCOMPARE(r.events, (QStringList{goodOf(E0), Checksum, goodOf(E1)}));
    // The receiver is fine afterwards, even mid-frame across the exception.
    r.events.clear();
    r.rx.onGoodFrame = [&] { r.events << good(r.rx.RxFrame()); };
    QVERIFY_THROWS_EXCEPTION(std::logic_error, r.rx.Feed(hex("A5 5A 04 E0 E5 AA A5 5A 04")));
    r.rx.Feed(hex("E1 E5 AA"));
    QCOMPARE(r.events, (QStringList{Checksum, goodOf(E1)}));
}

void TestFrameReceiver::callbackMayFeedMoreBytes() {
    Recorder r;
    bool nested = false;
    r.rx.onGoodFrame = [&] {
        r.events << good(r.rx.RxFrame());
        if (!nested) {
            nested = true;
            r.rx.Feed(E1);
        }
    };
    const QByteArray e2 = hex("A5 5A 04 E2 E6 AA");
    r.rx.Feed(E0 + e2);
    QCOMPARE(r.events, (QStringList{goodOf(E0), goodOf(E1), goodOf(e2)}));
}

void TestFrameReceiver::callbackMayClearItself() {
    // As its last action: no further frame of the same chunk reaches it.
    FrameReceiver rx;
    int calls = 0;
    rx.onGoodFrame = [&, big = QByteArray(64, 'x')] {
        calls += int(big.size());
        rx.onGoodFrame = nullptr;
    };
    rx.Feed(E0 + E1);
    QCOMPARE(calls, 64);
}

QTEST_APPLESS_MAIN(TestFrameReceiver)
#include "tst_frame_receiver.moc"
