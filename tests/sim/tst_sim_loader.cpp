// The module's firmware loader as the updater meets it: loader command, synchronisation,
// block 0 with the length, acknowledged data blocks, end marker, and the image on disk.
#include <QTemporaryDir>
#include <QtTest>

#include "module_device.h"
#include "support_sim.h"

using namespace SimBench;

namespace {
// The host side of the upload, built from the protocol (not from the simulator's code).
QByteArray blockZero(int length) {
    QByteArray b(133, '\0');
    b[0] = 0x01;
    b[1] = 0x00;
    b[2] = char(0xFF);
    b[3] = char((length >> 8) & 0xFF);
    b[4] = char(length & 0xFF);
    return b;
}
QByteArray dataBlock(int number, const QByteArray& image, int at) {
    QByteArray b(1029, char(0x1A));  // fill past the end of the image
    b[0] = 0x02;
    b[1] = char(number & 0xFF);
    b[2] = char(255 - (number & 0xFF));
    for (int i = 0; i < 1024 && at + i < image.size(); ++i) b[3 + i] = image[at + i];
    b[1027] = b[1028] = 0;
    return b;
}
QByteArray imageOf(int size) {
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i) image[i] = char((i * 31 + i / 7) & 0xFF);
    return image;
}
const QByteArray LoaderCommand = QByteArray::fromHex("A55A041115AA");

// Units that are not frames: the loader's single-byte answers.
QByteArray answers(const Bench& bench, qsizetype mark) {
    QByteArray out;
    for (const QByteArray& u : bench.since(mark))
        if (u.size() == 1) out.append(u);
    return out;
}

struct Rig {
    Rig() : bench(module) {
        module.loader().setImageOut(dir.filePath(QStringLiteral("image.bin")));
        bench.run(200);
    }
    QString imagePath() const { return dir.filePath(QStringLiteral("image.bin")); }
    // The host writes a message, in pieces of `piece` bytes when asked to.
    void write(const QByteArray& bytes, int piece = 0) {
        if (piece <= 0) return bench.host(bytes);
        for (int at = 0; at < bytes.size(); at += piece) bench.host(bytes.mid(at, piece));
    }
    // The whole upload as the updater runs it; returns the answers it got.
    QByteArray upload(const QByteArray& image, int piece = 0, int announced = -1) {
        const qsizetype mark = bench.mark();
        write(LoaderCommand);
        bench.run(10);
        write(QByteArray(1, char(0xAB)));
        bench.run(10);
        write(QByteArray(2, char(0xAB)));  // written before the 'C' arrived
        write(blockZero(announced < 0 ? int(image.size()) : announced), piece);
        int at = 0, number = 1;
        do {
            write(dataBlock(number++, image, at), piece);
            at += 1024;
        } while (at <= image.size());  // the updater stops once it has passed the end
        write(QByteArray(2, char(0x04)));
        return answers(bench, mark);
    }
    QByteArray written() const {
        QFile f(imagePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    ModuleDevice module;
    Bench bench;
    QTemporaryDir dir;
};
}  // namespace

class TstLoader : public QObject {
    Q_OBJECT
private slots:
    void upload_data();
    void upload();
    void withheldAckStallsOnceThenTheLoaderGivesUp();
    void hostStartsOverInsideTheLoader();
    void lengthMismatchWritesNothing();
    void blocksOutOfOrderAreRefused();
};

void TstLoader::upload_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("piece");
    QTest::newRow("100 bytes: one data block") << 100 << 0;
    QTest::newRow("empty image: one block of fill") << 0 << 0;
    QTest::newRow("1024 bytes: a second block of fill") << 1024 << 0;
    QTest::newRow("2048 bytes in 7-byte pieces") << 2048 << 7;
    QTest::newRow("40960 bytes, byte by byte") << 40960 << 1;
    QTest::newRow("65535 bytes") << 65535 << 0;
}

void TstLoader::upload() {
    QFETCH(int, size);
    QFETCH(int, piece);
    Rig rig;
    const QByteArray image = imageOf(size);
    const int blocks = size / 1024 + 1;
    const qsizetype mark = rig.bench.mark();
    const QByteArray got = rig.upload(image, piece);
    // One 'C' for the first synchronisation, then an ACK for block 0, each data block and the end.
    QCOMPARE(text(got), text(QByteArray(1, 'C') + QByteArray(blocks + 2, 0x06)));
    QVERIFY2(rig.bench.ofType(0xA1, mark).isEmpty(), "telemetry inside the loader");
    QCOMPARE(rig.module.loader().lastOutcome(), Loader::Outcome::Received);
    QCOMPARE(rig.written(), image);

    const qsizetype after = rig.bench.mark();
    rig.bench.run(200);
    QVERIFY(!rig.bench.ofType(0xA1, after).isEmpty());  // back in the application
}

void TstLoader::withheldAckStallsOnceThenTheLoaderGivesUp() {
    Rig rig;
    rig.module.loader().setWithheldAck(2);
    const QByteArray image = imageOf(3000);
    qsizetype mark = rig.bench.mark();
    rig.write(LoaderCommand);
    rig.write(QByteArray(1, char(0xAB)));
    rig.write(blockZero(image.size()));
    rig.write(dataBlock(1, image, 0));
    rig.write(dataBlock(2, image, 1024));
    QCOMPARE(text(answers(rig.bench, mark)), QStringLiteral("43 06 06"));  // no ACK for block 2

    // The updater's watchdog gives up; so does the loader, later, and telemetry returns.
    rig.bench.run(Loader::IdleTimeoutMs - 100);
    QVERIFY(rig.module.loader().active());
    rig.bench.run(200);
    QVERIFY(!rig.module.loader().active());
    mark = rig.bench.mark();
    rig.bench.run(200);
    QVERIFY(!rig.bench.ofType(0xA1, mark).isEmpty());
    QVERIFY(!QFile::exists(rig.imagePath()));

    // Once only: the next attempt goes through.
    QCOMPARE(text(rig.upload(image)), QStringLiteral("43 06 06 06 06 06"));
    QCOMPARE(rig.written(), image);
}

void TstLoader::hostStartsOverInsideTheLoader() {
    // After its watchdog the updater starts again with the loader command: between blocks
    // the loader hears it and synchronises afresh.
    Rig rig;
    const QByteArray image = imageOf(1500);
    rig.write(LoaderCommand);
    rig.write(QByteArray(1, char(0xAB)));
    rig.write(blockZero(image.size()));
    rig.write(dataBlock(1, image, 0));
    QCOMPARE(text(rig.upload(image)), QStringLiteral("43 06 06 06 06"));
    QCOMPARE(rig.written(), image);

    // A block cut short leaves the loader waiting for its rest until the silence ends it.
    Rig cut;
    cut.write(LoaderCommand);
    cut.write(QByteArray(1, char(0xAB)));
    cut.write(blockZero(image.size()));
    cut.write(dataBlock(1, image, 0).left(500));
    cut.bench.run(Loader::IdleTimeoutMs + 100);
    QVERIFY(!cut.module.loader().active());
    QCOMPARE(text(cut.upload(image)), QStringLiteral("43 06 06 06 06"));
    QCOMPARE(cut.written(), image);
}

void TstLoader::lengthMismatchWritesNothing() {
    Rig rig;
    // Block 0 announces 5000 bytes, but only two blocks follow.
    const QByteArray got = rig.upload(imageOf(2000), 0, 5000);
    QCOMPARE(text(got), QStringLiteral("43 06 06 06 15"));
    QCOMPARE(rig.module.loader().lastOutcome(), Loader::Outcome::LengthMismatch);
    QVERIFY(!QFile::exists(rig.imagePath()));
    QVERIFY(!rig.module.loader().active());
}

void TstLoader::blocksOutOfOrderAreRefused() {
    Rig rig;
    const QByteArray image = imageOf(3000);
    const qsizetype mark = rig.bench.mark();
    rig.write(LoaderCommand);
    rig.write(QByteArray(1, char(0xAB)));
    rig.write(dataBlock(1, image, 0));  // no block 0 yet
    rig.write(blockZero(image.size()));
    rig.write(dataBlock(2, image, 1024));  // block 1 skipped
    QByteArray badComplement = dataBlock(1, image, 0);
    badComplement[2] = 0x00;
    rig.write(badComplement);
    rig.write(dataBlock(1, image, 0));
    QCOMPARE(text(answers(rig.bench, mark)), QStringLiteral("43 15 06 15 15 06"));
}

QTEST_APPLESS_MAIN(TstLoader)
#include "tst_sim_loader.moc"
