// Fault injection between the device and the wire: frames with a wrong sum, frames of another
// length, garbage bursts; loader answers pass untouched.
#include <QtTest>

#include "fault_injector.h"
#include "report_frames.h"
#include "support_sim.h"

using namespace SimBench;

namespace {
struct Out {
    explicit Out(FaultInjector& f) {
        f.out = [this](const QByteArray& b, bool spoiled) {
            units.append(b);
            if (spoiled) ++spoilt;
        };
    }
    QList<QByteArray> units;
    int spoilt = 0;
};
bool sumIsRight(const QByteArray& f) {
    return quint8(f[f.size() - 2]) == Frame::sum(f.constData() + 2, f.size() - 4);
}
const QByteArray Sample = Report::configFrame(1, 3, 7);
}  // namespace

class TstFaultInjector : public QObject {
    Q_OBJECT
private slots:
    void badChecksumRate_data();
    void badChecksumRate();
    void signalledBurstSpoilsExactlyK();
    void frameLength_data();
    void frameLength();
    void garbageBurstsComeBetweenFrames();
};

void TstFaultInjector::badChecksumRate_data() {
    QTest::addColumn<double>("rate");
    QTest::newRow("none") << 0.0;
    QTest::newRow("a quarter") << 0.25;
    QTest::newRow("all") << 1.0;
}

void TstFaultInjector::badChecksumRate() {
    QFETCH(double, rate);
    FaultOptions o;
    o.badChecksumRate = rate;
    FaultInjector faults(o);
    Out out(faults);
    for (int i = 0; i < 4000; ++i) faults.frame(Sample);
    faults.frame(QByteArray(1, 0x06));  // a loader ACK is no frame
    int bad = 0;
    for (const QByteArray& f : out.units.mid(0, 4000)) {
        QCOMPARE(f.size(), Sample.size());
        QCOMPARE(f.left(f.size() - 2), Sample.left(Sample.size() - 2));  // only the sum changes
        QCOMPARE(quint8(f.back()), Frame::Tail);
        if (!sumIsRight(f)) ++bad;
    }
    QCOMPARE(bad, out.spoilt);
    QVERIFY2(qAbs(bad / 4000.0 - rate) < 0.03, qPrintable(QString::number(bad)));
    QCOMPARE(text(out.units.last()), QStringLiteral("06"));
}

void TstFaultInjector::signalledBurstSpoilsExactlyK() {
    FaultInjector faults;
    Out out(faults);
    faults.frame(Sample);
    faults.corruptNext(3);
    for (int i = 0; i < 6; ++i) faults.frame(Sample);
    QList<bool> good;
    for (const QByteArray& f : out.units) good.append(sumIsRight(f));
    QCOMPARE(good, (QList<bool>{true, false, false, false, true, true, true}));
}

void TstFaultInjector::frameLength_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("4: payload dropped") << 4;
    QTest::newRow("6: payload cut") << 6;
    QTest::newRow("101") << 101;
    QTest::newRow("102: Torvik's largest") << 102;
    QTest::newRow("103: beyond Torvik") << 103;
    QTest::newRow("255") << 255;
}

void TstFaultInjector::frameLength() {
    QFETCH(int, length);
    FaultOptions o;
    o.frameLength = length;
    FaultInjector faults(o);
    Out out(faults);
    faults.frame(Sample);
    faults.frame(QByteArray(1, 'C'));
    QCOMPARE(out.units.size(), 2);
    const QByteArray f = out.units[0];
    QCOMPARE(f.size(), length + 2);
    QCOMPARE(int(quint8(f[2])), length);
    QCOMPARE(typeOf(f), 0xB1);
    QVERIFY(sumIsRight(f));
    // The payload keeps its start; what is added is zeros.
    const QByteArray payload = payloadOf(f);
    QCOMPARE(payload, (hex("010307") + QByteArray(qMax(0, length - 7), '\0')).left(length - 4));
    QCOMPARE(text(out.units[1]), QStringLiteral("43"));
}

void TstFaultInjector::garbageBurstsComeBetweenFrames() {
    FaultOptions o;
    o.garbageIntervalMs = 100;
    o.garbageSize = 150;
    FaultInjector faults(o);
    Out out(faults);
    for (int t = 0; t <= 1000; t += 2) {
        faults.advance(t);
        if (t % 10 == 0) faults.frame(Sample);
    }
    int bursts = 0;
    for (const QByteArray& u : out.units) {
        if (u == Sample) continue;
        QCOMPARE(u.size(), 150);
        ++bursts;
    }
    QCOMPARE(bursts, 10);
    QCOMPARE(out.units.size() - bursts, 101);
}

QTEST_APPLESS_MAIN(TstFaultInjector)
#include "tst_sim_faults.moc"
