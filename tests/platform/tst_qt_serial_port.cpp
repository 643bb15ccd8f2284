// QtSerialPort against a pseudo-terminal linked as <program dir>/ports/com1, in real time:
// what the device sends arrives as receive events, what we write reaches the device, the
// line settings reach the terminal, a device that vanishes closes the port once without a
// busy loop, and a receive limit turns a flood into event 1008.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/pty_device.h"
#include "platform/program_dir.h"
#include "platform/qt_serial_port.h"

namespace {

constexpr int Patience = 5000;  // ms; generous, the machine is shared

qint64 cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

using Device = PtyDevice;

}  // namespace

class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void receiveAndSend();
    void lineSettingsReachTheDevice();
    void thresholdZeroHoldsEventsBytesWait();
    void vanishedDeviceClosesOnceWithoutBusyLoop();
    void floodBeyondLimitRaisesOverflow();
    void busyOrMissingDeviceRefusesOpen();

private:
    void link(int n, const QString& target);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Device> m_device;
};

void QtSerialPortTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("ports")));
    ProgramDir::setOverride(m_dir->path());
    m_device = std::make_unique<Device>();
    if (!m_device->make()) QSKIP("no pseudo-terminal available (openpty failed)");
    link(1, m_device->path);
}

void QtSerialPortTest::cleanup() {
    m_device.reset();
    ProgramDir::setOverride(QString());
    m_dir.reset();
}

void QtSerialPortTest::link(int n, const QString& target) {
    QVERIFY(QFile::link(target, m_dir->filePath(QStringLiteral("ports/com%1").arg(n))));
}

void QtSerialPortTest::receiveAndSend() {
    m_device->send("stale bytes sent before anyone listened");
    QtSerialPort port;
    QCOMPARE(QtSerialPort::resolve(1), m_dir->filePath(QStringLiteral("ports/com1")));
    QCOMPARE(port.describe(1), QStringLiteral("ports/com1 → ") + m_device->path);
    QSignalSpy events(&port, &SerialPort::receiveEvent);
    QVERIFY(port.open());
    QVERIFY(port.isOpen());

    const QByteArray frame("\xA5\x5A\x04\x01\x05\xAA", 6);
    m_device->send(frame + frame);
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).size() >= 12, Patience);
    QCOMPARE(got, frame + frame);  // the stale bytes were dropped at open
    QVERIFY(!events.isEmpty());
    for (const auto& e : events) QCOMPARE(e.at(0).toInt(), SerialPort::EventReceive);

    QCOMPARE(port.write(QByteArray("\xA5\x5A\x04\x02\x06\xAA", 6)), qint64(6));
    QByteArray sent;
    QTRY_VERIFY_WITH_TIMEOUT((sent += m_device->received()).size() >= 6, Patience);
    QCOMPARE(sent, QByteArray("\xA5\x5A\x04\x02\x06\xAA", 6));

    // A command written just before closing still goes out.
    QCOMPARE(port.write("\x11\x22"), qint64(2));
    port.close();
    QVERIFY(!port.isOpen());
    QByteArray last;
    QTRY_COMPARE_WITH_TIMEOUT((last += m_device->received()), QByteArray("\x11\x22"), Patience);
    QCOMPARE(port.write("\x33"), qint64(-1));
    QCOMPARE(port.readAll(), QByteArray());
}

// A pseudo-terminal keeps 8 data bits and no parity whatever it is told (the kernel forces
// them), so only rate, stop bits and handshaking can be seen here.
void QtSerialPortTest::lineSettingsReachTheDevice() {
    QtSerialPort port;
    QVERIFY(port.setSettings(QStringLiteral("9600,n,8,2")));
    QVERIFY(port.open());
    termios t = m_device->line();
    QCOMPARE(cfgetospeed(&t), speed_t(B9600));
    QVERIFY(t.c_cflag & CSTOPB);
    QVERIFY(!(t.c_cflag & PARENB));
    QVERIFY(!(t.c_cflag & CRTSCTS));
    QVERIFY(!(t.c_iflag & (IXON | IXOFF)));

    QVERIFY(port.setSettings(QStringLiteral("115200,n,8,1")));  // applies to the open port
    t = m_device->line();
    QCOMPARE(cfgetospeed(&t), speed_t(B115200));
    QVERIFY(!(t.c_cflag & CSTOPB));

    // Settings the terminal refuses (7 data bits) or has no constant for (56000 baud) still
    // leave the link open and working.
    QVERIFY(port.setSettings(QStringLiteral("56000,n,7,1.5")));
    QVERIFY(port.isOpen());
    m_device->send("ok");
    QByteArray got;
    QTRY_COMPARE_WITH_TIMEOUT((got += port.readAll()), QByteArray("ok"), Patience);
}

// The receive handler runs with threshold 0; what arrives meanwhile is read later.
void QtSerialPortTest::thresholdZeroHoldsEventsBytesWait() {
    QtSerialPort port;
    QSignalSpy events(&port, &SerialPort::receiveEvent);
    QVERIFY(port.open());
    port.setReceiveThreshold(0);
    m_device->send("abc");
    QByteArray got;
    QTRY_COMPARE_WITH_TIMEOUT((got += port.readAll()), QByteArray("abc"), Patience);
    QCOMPARE(events.count(), 0);
    port.setReceiveThreshold(1);
    m_device->send("d");
    QVERIFY(events.wait(Patience));
    QCOMPARE(port.readAll(), QByteArray("d"));
}

void QtSerialPortTest::vanishedDeviceClosesOnceWithoutBusyLoop() {
    QtSerialPort port;
    QSignalSpy lost(&port, &SerialPort::deviceLost);
    QVERIFY(port.open());
    int received = 0;
    bool openWhenReported = true;
    connect(&port, &SerialPort::receiveEvent, [&] { received += int(port.readAll().size()); });
    connect(&port, &SerialPort::deviceLost, [&] { openWhenReported = port.isOpen(); });

    // The device streams telemetry and vanishes in the middle of it.
    QTimer stream;
    connect(&stream, &QTimer::timeout, [&] { m_device->send(QByteArray(20, '\x55')); });
    stream.start(5);
    QTRY_VERIFY_WITH_TIMEOUT(received >= 100, Patience);
    stream.stop();
    m_device->unplug();

    QVERIFY(lost.wait(Patience));
    QVERIFY(!port.isOpen());
    QVERIFY(!openWhenReported);
    QVERIFY(!lost.at(0).at(0).toString().isEmpty());

    // QSerialPort left alone re-signals the error thousands of times a second; then this
    // process would burn the whole wait on the CPU.
    const qint64 cpuBefore = cpuMs();
    QTest::qWait(400);
    const qint64 cpuUsed = cpuMs() - cpuBefore;
    QCOMPARE(lost.count(), 1);
    QVERIFY2(cpuUsed < 200, qPrintable(QStringLiteral("%1 ms CPU in a 400 ms wait").arg(cpuUsed)));

    QVERIFY(!port.open());  // the link now points at a terminal nobody serves
}

void QtSerialPortTest::floodBeyondLimitRaisesOverflow() {
    QtSerialPort port;
    port.setReceiveLimit(16);
    QList<int> codes;
    connect(&port, &SerialPort::receiveEvent, [&](int code) { codes << code; });
    QVERIFY(port.open());

    m_device->send(QByteArray(64, '\x7E'));  // nobody reads on event 2: the bytes pile up
    QTRY_VERIFY_WITH_TIMEOUT(codes.contains(SerialPort::EventOverflow), Patience);
    QVERIFY(port.readAll().size() < 64);

    // The port works on after the overflow.
    codes.clear();
    m_device->send("ping");
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).endsWith("ping"), Patience);
    QVERIFY(codes.contains(SerialPort::EventReceive));
    QVERIFY(!codes.contains(SerialPort::EventOverflow));
    QVERIFY(port.isOpen());
}

void QtSerialPortTest::busyOrMissingDeviceRefusesOpen() {
    QtSerialPort first, second;
    QVERIFY(first.open());
    QVERIFY2(!second.open(), "a device in use by another program must not open twice");
    first.close();
    QVERIFY(second.open());
    second.close();

    // A link whose device is gone pins its number: no other device is opened instead.
    link(2, QStringLiteral("/dev/ttyUSB-unplugged"));
    QCOMPARE(QtSerialPort::resolve(2), m_dir->filePath(QStringLiteral("ports/com2")));
    QVERIFY(QtSerialPort(nullptr).describe(2).contains(QtSerialPort::NotPresent));
    QVERIFY(second.setPortNumber(2));
    QVERIFY(!second.open());
    QVERIFY(!second.isOpen());

    // Without a link the number counts the machine's own serial devices.
    QCOMPARE(QtSerialPort::resolve(3), QtSerialPort::systemDevices().value(2));
    if (QtSerialPort::systemDevices().size() < 40) {
        QCOMPARE(QtSerialPort::resolve(40), QString());
        QCOMPARE(second.describe(40), QtSerialPort::NotPresent);
        QVERIFY(second.setPortNumber(40));
        QVERIFY(!second.open());
    }
    QCOMPARE(QtSerialPort::resolve(0), QString());
}

QTEST_GUILESS_MAIN(QtSerialPortTest)
#include "tst_qt_serial_port.moc"
