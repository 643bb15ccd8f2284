// The simulator's streams through the project's own receivers, in several chunkings:
// Vantor's ModuleFrameReceiver takes every frame; Torvik's FrameReceiver takes every frame
// but those it loses by design (an A5 ... 5A pair inside a frame restarts it).
#include <QtTest>

#include "fault_injector.h"
#include "flight_controller.h"
#include "module_device.h"
#include "protocol/frame_receiver.h"
#include "protocol/module_frame_receiver.h"
#include "support_sim.h"

using namespace SimBench;

namespace {
// Torvik's receiver restarts a frame at a 0x5A that follows a 0xA5 inside it.
bool hasInnerHeader(const QByteArray& frame) {
    const qsizetype a5 = frame.indexOf(char(0xA5), 2);
    return a5 >= 0 && frame.indexOf(char(0x5A), a5 + 1) >= 0;
}

// A module at 200 Hz that answers every reply it has, and runs a magnetometer calibration.
QList<QByteArray> moduleFrames() {
    ModuleDevice module;
    Bench bench(module);
    module.setConfig({ModuleConfig::AttitudeAndSensors, 1, 7}, 0);
    bench.run(500);
    bench.host(CommandFrame(0xB0));
    bench.host(CommandFrame(0xB5));
    bench.host(Frame::build(0xB6, hex("007B800A0708")));
    bench.host(CommandFrame(0xE6));
    for (int sel = 0; sel < 6; ++sel) bench.host(Frame::build(0xA0, QByteArray(1, char(sel))));
    bench.host(CommandFrame(0xE3));
    bench.run(1500);
    bench.host(CommandFrame(0xE1));
    bench.host(Frame::build(0xB3, hex("000507")));
    bench.run(1000);
    return bench.since(0);
}

QList<QByteArray> flightControllerFrames() {
    FlightControllerDevice fc;
    fc.setFlowRate(20, 0);
    Bench bench(fc);
    bench.run(500);
    for (int loop = 1; loop <= 5; ++loop) bench.host(CommandFrame(quint8(0xD0 + loop)));
    bench.host(CommandFrame(0xE3));
    bench.run(2500);
    return bench.since(0);
}

QByteArray join(const QList<QByteArray>& frames) {
    QByteArray s;
    for (const QByteArray& f : frames) s.append(f);
    return s;
}

struct Delivered {
    QList<QByteArray> frames;
    int checksumErrors = 0;
    int other = 0;  // missing-header diagnostics or overlong frames
};

Delivered viaFrameReceiver(const QByteArray& stream, quint32 seed, int maxChunk) {
    FrameReceiver rx;
    Delivered d;
    rx.onGoodFrame = [&] { d.frames.append(rx.RxFrame()); };
    rx.onChecksumError = [&] { ++d.checksumErrors; };
    rx.onHeaderMissing = [&] { ++d.other; };
    for (const QByteArray& c : chunks(stream, seed, maxChunk)) rx.Feed(c);
    return d;
}

Delivered viaModuleFrameReceiver(const QByteArray& stream, quint32 seed, int maxChunk) {
    ModuleFrameReceiver rx;
    Delivered d;
    rx.onGoodFrame = [&] { d.frames.append(rx.RxFrame()); };
    rx.onChecksumError = [&] { ++d.checksumErrors; };
    rx.onOverlong = [&] { ++d.other; };
    for (const QByteArray& c : chunks(stream, seed, maxChunk)) rx.Feed(c);
    return d;
}

void addChunkings() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("maxChunk");
    QTest::newRow("whole") << 1u << (1 << 30);
    QTest::newRow("byte by byte") << 1u << 1;
    QTest::newRow("up to 3 bytes") << 2u << 3;
    QTest::newRow("up to 17 bytes") << 3u << 17;
    QTest::newRow("up to 300 bytes") << 4u << 300;
}

// Torvik delivers, in order, every frame it can and nothing else.
void checkTorvik(const QList<QByteArray>& sent, const Delivered& got) {
    QCOMPARE(got.other, 0);
    int lost = 0, mayLose = 0;
    qsizetype k = 0;
    for (const QByteArray& f : sent) {
        if (hasInnerHeader(f)) ++mayLose;
        if (k < got.frames.size() && got.frames[k] == rxFrameOf(f)) {
            ++k;
            continue;
        }
        QVERIFY2(hasInnerHeader(f), qPrintable(QStringLiteral("lost %1").arg(text(f))));
        ++lost;
    }
    QCOMPARE(k, got.frames.size());
    QVERIFY(got.checksumErrors <= mayLose);
    QVERIFY(lost <= mayLose);
}
}  // namespace

class TstSimReceivers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void moduleThroughModuleFrameReceiver_data() { addChunkings(); }
    void moduleThroughModuleFrameReceiver();
    void moduleThroughFrameReceiver_data() { addChunkings(); }
    void moduleThroughFrameReceiver();
    void flightControllerThroughFrameReceiver_data() { addChunkings(); }
    void flightControllerThroughFrameReceiver();
    void spoiledFramesAreCounted_data();
    void spoiledFramesAreCounted();

private:
    QList<QByteArray> m_module, m_fc;
};

void TstSimReceivers::initTestCase() {
    m_module = moduleFrames();
    m_fc = flightControllerFrames();
    QSet<int> types;
    for (const QByteArray& f : m_module) types.insert(typeOf(f));
    QCOMPARE(types, (QSet<int>{0xA1, 0xA2, 0xA4, 0xA5, 0xB1, 0xB3, 0xB5, 0xB6}));
    types.clear();
    for (const QByteArray& f : m_fc) types.insert(typeOf(f));
    QCOMPARE(types, (QSet<int>{0x0F, 0x12, 0x13, 0x15, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xD1,
                               0xD2, 0xD3, 0xD4, 0xD5}));
}

void TstSimReceivers::moduleThroughModuleFrameReceiver() {
    QFETCH(quint32, seed);
    QFETCH(int, maxChunk);
    const Delivered got = viaModuleFrameReceiver(join(m_module), seed, maxChunk);
    QCOMPARE(got.checksumErrors, 0);
    QCOMPARE(got.other, 0);
    QCOMPARE(got.frames.size(), m_module.size());
    for (qsizetype i = 0; i < m_module.size(); ++i) QCOMPARE(got.frames[i], rxFrameOf(m_module[i]));
}

void TstSimReceivers::moduleThroughFrameReceiver() {
    QFETCH(quint32, seed);
    QFETCH(int, maxChunk);
    checkTorvik(m_module, viaFrameReceiver(join(m_module), seed, maxChunk));
}

void TstSimReceivers::flightControllerThroughFrameReceiver() {
    QFETCH(quint32, seed);
    QFETCH(int, maxChunk);
    checkTorvik(m_fc, viaFrameReceiver(join(m_fc), seed, maxChunk));
}

void TstSimReceivers::spoiledFramesAreCounted_data() {
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("burst");
    QTest::newRow("a fifth of the frames") << 0.2 << 0;
    QTest::newRow("a signalled burst of 5") << 0.0 << 5;
}

// Vantor sees exactly the spoiled frames as checksum errors and every other frame intact.
void TstSimReceivers::spoiledFramesAreCounted() {
    QFETCH(double, rate);
    QFETCH(int, burst);
    FaultOptions o;
    o.badChecksumRate = rate;
    o.seed = 7;
    FaultInjector faults(o);
    QByteArray stream;
    QList<QByteArray> clean;
    int spoilt = 0;
    faults.out = [&](const QByteArray& b, bool spoiled) {
        stream.append(b);
        if (spoiled) ++spoilt;
    };
    for (qsizetype i = 0; i < m_module.size(); ++i) {
        if (i == 100) faults.corruptNext(burst);
        const int before = spoilt;
        faults.frame(m_module[i]);
        if (spoilt == before) clean.append(rxFrameOf(m_module[i]));
    }
    QVERIFY(spoilt > 0);
    const Delivered got = viaModuleFrameReceiver(stream, 5, 40);
    QCOMPARE(got.checksumErrors, spoilt);
    QCOMPARE(got.frames, clean);
}

QTEST_APPLESS_MAIN(TstSimReceivers)
#include "tst_sim_receivers.moc"
