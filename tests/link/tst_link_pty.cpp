// The connection journey with the real QSerialPort adapter on a pseudo-terminal linked as
// <program dir>/ports/com3: start-up from OSC.ini, connect, data, the device vanishes, it comes
// back and the switch connects again. The serial port runs in real time; Timer4 in virtual
// time.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "support/pty_device.h"
#include "link/port_connection.h"
#include "platform/program_dir.h"
#include "platform/qt_serial_port.h"
#include "platform/timer.h"

namespace {

constexpr int Patience = 5000;  // ms; generous, the machine is shared

using Device = PtyDevice;

}  // namespace

class TestLinkPty : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void vanishedDeviceAndBack();

private:
    // Points ports/com3 at the device.
    void plugIn(Device& device);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLinkPty::init() {
    VirtualTime::install();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("ports")));
    ProgramDir::setOverride(m_dir->path());
}

void TestLinkPty::cleanup() {
    ProgramDir::setOverride(QString());
    m_dir.reset();
    VirtualTime::uninstall();
}

void TestLinkPty::plugIn(Device& device) {
    if (!device.make()) QSKIP("no pseudo-terminal available (openpty failed)");
    const QString link = m_dir->filePath(QStringLiteral("ports/com3"));
    QFile::remove(link);
    QVERIFY(QFile::link(device.path, link));
}

void TestLinkPty::vanishedDeviceAndBack() {
    QFile ini(ProgramDir::file(QStringLiteral("OSC.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[COM]\r\nPort=3\r\nSettings=115200,n,8,1\r\n");
    ini.close();

    auto device = std::make_unique<Device>();
    plugIn(*device);

    QtSerialPort port;
    QStringList log;
    QString caption;
    bool lit = false;
    QByteArray received;
    PortConnection::Hooks hooks;
    hooks.showMsg = [&](const QString& t) { log << t; };
    hooks.setSwitchCaption = [&](const QString& t) { caption = t; };
    hooks.setSwitchLit = [&](bool on) { lit = on; };
    hooks.received = [&](const QByteArray& b) { received += b; };
    PortConnection link(port, ProgramVariant::Torvik, std::move(hooks));

    link.ConfigurePort();
    QCOMPARE(port.portNumber(), 3);
    QVERIFY(log.isEmpty());

    link.iSwitchLedX1_Click();
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(log, (QStringList{"正在打开端口 ...", "COM3--115200,n,8,1", "端口打开成功 ..."}));
    QVERIFY(lit);
    device->send("\xA5\x5A\x04\x10\x14\xAA");
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("\xA5\x5A\x04\x10\x14\xAA"), Patience);

    log.clear();
    device->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(log, QStringList{"设备已断开: COM3"}, Patience);
    QVERIFY(!port.isOpen());
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(log, (QStringList{"设备已断开: COM3", "已关闭 COM3 端口"}));
    QCOMPARE(caption, QStringLiteral("端口已关闭"));
    QVERIFY(!lit);
    // Reported once: the adapter does not keep signalling the loss.
    QTest::qWait(200);
    QCOMPARE(log.size(), 2);

    // The adapter is plugged in again (a new terminal behind the same com3).
    device = std::make_unique<Device>();
    plugIn(*device);
    log.clear();
    received.clear();
    link.iSwitchLedX1_Click();
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(log, (QStringList{"正在打开端口 ...", "COM3--115200,n,8,1", "端口打开成功 ..."}));
    QVERIFY(lit);
    device->send("\x01\x02");
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("\x01\x02"), Patience);
}

QTEST_GUILESS_MAIN(TestLinkPty)
#include "tst_link_pty.moc"
