// The built pellix-sim on a temporary directory: the link appears, telemetry arrives on it,
// a command is answered, the port survives being closed and reopened, and the link goes when
// the simulator ends or vanishes. Real time, with generous deadlines.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

#include "protocol/frame_receiver.h"
#include "support_sim.h"

using namespace SimBench;

namespace {
int openRaw(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

// Reads the link until `done` holds or the deadline passes; false on a hang-up.
template <class Done>
bool readUntil(int fd, FrameReceiver& rx, Done done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    char buf[4096];
    while (!done() && !deadline.hasExpired()) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(qMax<qint64>(1, deadline.remainingTime()))) <= 0) continue;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            rx.Feed(QByteArray(buf, int(n)));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            return false;
    }
    return done();
}

struct Sim {
    explicit Sim(const QStringList& args) {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(PELLIX_SIM_PROGRAM), args);
    }
    ~Sim() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QString firstLine() {
        QDeadlineTimer deadline(10000);
        while (!process.canReadLine() && !deadline.hasExpired())
            process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    QProcess process;
};
}  // namespace

class TstSimProgram : public QObject {
    Q_OBJECT
private slots:
    void telemetryOnTheLink();
    void unplugHangsUpAndRemovesTheLink();
};

void TstSimProgram::telemetryOnTheLink() {
    QTemporaryDir dir;
    const QString transcript = dir.filePath(QStringLiteral("link.log"));
    Sim sim({QStringLiteral("module"), QStringLiteral("--dir"), dir.path(),
             QStringLiteral("--port"), QStringLiteral("7"), QStringLiteral("--rate"),
             QStringLiteral("50"), QStringLiteral("--transcript"), transcript});
    const QString slave = sim.firstLine();
    QVERIFY2(slave.startsWith(QLatin1String("/dev/")), qPrintable(slave));
    const QString link = dir.filePath(QStringLiteral("ports/com7"));
    QCOMPARE(QFile::symLinkTarget(link), slave);

    FrameReceiver rx;
    QList<QByteArray> frames;
    rx.onGoodFrame = [&] { frames.append(rx.RxFrame()); };
    int errors = 0;
    rx.onChecksumError = [&] { ++errors; };
    const auto count = [&](int type) {
        return std::count_if(frames.cbegin(), frames.cend(),
                             [type](const QByteArray& f) { return quint8(f[1]) == type; });
    };

    int fd = openRaw(link);
    QVERIFY(fd >= 0);
    QVERIFY(readUntil(fd, rx, [&] { return count(0xA1) >= 10 && count(0xA2) >= 10; }));
    QCOMPARE(errors, 0);

    const QByteArray read = CommandFrame(0xB0);
    QCOMPARE(::write(fd, read.constData(), size_t(read.size())), ssize_t(read.size()));
    QVERIFY(readUntil(fd, rx, [&] { return count(0xB1) == 1; }));
    const auto reply = std::find_if(frames.cbegin(), frames.cend(),
                                    [](const QByteArray& f) { return quint8(f[1]) == 0xB1; });
    QCOMPARE(text(*reply), QStringLiteral("07 B1 01 05 07 C5"));  // attitude+sensors, 50 Hz

    // The host closes the port and opens it again: the same terminal goes on working.
    ::close(fd);
    fd = openRaw(link);
    QVERIFY(fd >= 0);
    const qsizetype seen = frames.size();
    QVERIFY(readUntil(fd, rx, [&] { return frames.size() >= seen + 10; }));
    ::close(fd);

    sim.process.terminate();
    QVERIFY(sim.process.waitForFinished(5000));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());

    QFile log(transcript);
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString all = QString::fromUtf8(log.readAll());
    QVERIFY(all.contains(
        QRegularExpression(QStringLiteral("(^|\n)\\d+\\.\\d{3} RX A5 5A 04 B0 B4 AA\n"))));
    QVERIFY(all.contains(
        QRegularExpression(QStringLiteral("\n\\d+\\.\\d{3} TX A5 5A 07 B1 01 05 07 C5 AA\n"))));
    QVERIFY(all.contains(QRegularExpression(QStringLiteral("\n\\d+\\.\\d{3} TX A5 5A 12 A1 "))));
}

void TstSimProgram::unplugHangsUpAndRemovesTheLink() {
    QTemporaryDir dir;
    Sim sim({QStringLiteral("flightctl"), QStringLiteral("--dir"), dir.path(),
             QStringLiteral("--unplug-after"), QStringLiteral("700")});
    QVERIFY(!sim.firstLine().isEmpty());
    const QString link = dir.filePath(QStringLiteral("ports/com1"));
    const int fd = openRaw(link);
    QVERIFY(fd >= 0);
    FrameReceiver rx;
    int pwm = 0;
    rx.onGoodFrame = [&] { pwm += quint8(rx.RxFrame()[1]) == 0x12; };
    QVERIFY(readUntil(fd, rx, [&] { return pwm >= 3; }));
    // Then the device vanishes: the port reports a hang-up instead of more data.
    QVERIFY(!readUntil(
        fd, rx, [] { return false; }, 5000));
    ::close(fd);
    QVERIFY(sim.process.waitForFinished(5000));
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TstSimProgram)
#include "tst_sim_program.moc"
