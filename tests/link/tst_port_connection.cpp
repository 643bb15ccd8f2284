// The port connection control: the 200 ms port-state report after every open and close, the
// settings menu entry, the disconnect step of recording and playback, a vanished device, the
// receive event and the start-up read of OSC.ini. Virtual time, fake port.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "link/port_connection.h"
#include "platform/fake_serial_port.h"
#include "platform/program_dir.h"
#include "platform/timer.h"

namespace {

const QString Opening = QStringLiteral("正在打开端口 ...");
const QString Disconnecting = QStringLiteral("断开连接 ...");

// The main window as the control sees it: a log, the switch's caption and lamp, and the
// other hooks counted.
struct Window {
    explicit Window(ProgramVariant variant = ProgramVariant::Torvik) {
        ProgramDir::setOverride(dir.path());
        (void)port.setPortNumber(3);
        PortConnection::Hooks hooks;
        hooks.showMsg = [this](const QString& t) { log << t; };
        hooks.setSwitchCaption = [this](const QString& t) { caption = t; };
        hooks.setSwitchLit = [this](bool on) { lit = on; };
        hooks.resetReceiver = [this] { ++resets; };
        hooks.hideLabel1 = [this] { ++label1Hidden; };
        hooks.showSettingsDialog = [this] { ++dialogShown; };
        hooks.received = [this](const QByteArray& b) {
            received += b;
            thresholdWhileReceiving = port.receiveThreshold();
        };
        link = std::make_unique<PortConnection>(port, variant, std::move(hooks));
    }
    ~Window() { ProgramDir::setOverride(QString()); }

    void writeIni(const QByteArray& content) {
        QFile f(ProgramDir::file(QStringLiteral("OSC.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    // Opens the port with the switch and lets the report pass.
    void connectNow() {
        link->iSwitchLedX1_Click();
        VirtualTime::advance(PortConnection::ReportDelayMs);
        log.clear();
    }

    QTemporaryDir dir;
    FakeSerialPort port;
    std::unique_ptr<PortConnection> link;
    QStringList log;
    QString caption = QStringLiteral("连接 AHRS");
    bool lit = false;
    int resets = 0;
    int label1Hidden = 0;
    int dialogShown = 0;
    QByteArray received;
    int thresholdWhileReceiving = -1;
};

}  // namespace

class TestPortConnection : public QObject {
    Q_OBJECT
private slots:
    void init() { VirtualTime::install(); }
    void cleanup() { VirtualTime::uninstall(); }

    void report_data();
    void report();
    void twoClicksGiveOneReport();
    void comSet_data();
    void comSet();
    void disconnectStep();
    void vanishedDevice();
    void receiveEvent();
    void startup_data();
    void startup();
    void vantorReport();
};

void TestPortConnection::report_data() {
    QTest::addColumn<bool>("startOpen");
    QTest::addColumn<bool>("openSucceeds");
    QTest::addColumn<QStringList>("clickLog");
    QTest::addColumn<QStringList>("reportLog");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("lit");
    QTest::addColumn<int>("label1Hidden");

    QTest::newRow("opened") << false << true << QStringList{Opening}
                            << QStringList{"COM3--115200,n,8,1", "端口打开成功 ..."} << "端口已打开"
                            << true << 1;
    QTest::newRow("open failed") << false << false << QStringList{Opening}
                                 << QStringList{"端口打开失败 ...可能原因:", "1. COM3 不存在",
                                                "2. COM3 已被其他的程序占用"}
                                 << "端口已关闭" << false << 1;
    QTest::newRow("closed") << true << true << QStringList{Disconnecting}
                            << QStringList{"已关闭 COM3 端口"} << "端口已关闭" << false << 0;
}

void TestPortConnection::report() {
    QFETCH(bool, startOpen);
    QFETCH(bool, openSucceeds);
    QFETCH(QStringList, clickLog);
    QFETCH(QStringList, reportLog);
    QFETCH(QString, caption);
    QFETCH(bool, lit);
    QFETCH(int, label1Hidden);

    Window w;
    if (startOpen) {
        w.connectNow();
        w.label1Hidden = 0;
        w.resets = 0;
    }
    w.port.setOpenResult(openSucceeds);
    const QString captionBefore = w.caption;
    w.link->iSwitchLedX1_Click();
    QCOMPARE(w.log, clickLog);
    QCOMPARE(w.resets, 1);
    QCOMPARE(w.label1Hidden, label1Hidden);

    // Nothing is reported at the click itself.
    VirtualTime::advance(PortConnection::ReportDelayMs - 1);
    QCOMPARE(w.log, clickLog);
    QCOMPARE(w.caption, captionBefore);

    VirtualTime::advance(1);
    QCOMPARE(w.log, clickLog + reportLog);
    QCOMPARE(w.caption, caption);
    QCOMPARE(w.lit, lit);
    QVERIFY(!w.link->Timer4.enabled());

    // The report is one-shot.
    VirtualTime::advance(1000);
    QCOMPARE(w.log, clickLog + reportLog);
}

void TestPortConnection::twoClicksGiveOneReport() {
    Window w;
    w.link->iSwitchLedX1_Click();  // opens
    VirtualTime::advance(100);
    w.link->iSwitchLedX1_Click();  // closes again before the report
    VirtualTime::advance(PortConnection::ReportDelayMs - 1);
    QCOMPARE(w.log, (QStringList{Opening, Disconnecting}));
    VirtualTime::advance(1);
    QCOMPARE(w.log, (QStringList{Opening, Disconnecting, "已关闭 COM3 端口"}));
    QCOMPARE(w.caption, QStringLiteral("端口已关闭"));
    QCOMPARE(w.resets, 2);
    VirtualTime::advance(1000);
    QCOMPARE(w.log.size(), 3);
}

void TestPortConnection::comSet_data() {
    QTest::addColumn<bool>("openSucceeds");
    QTest::newRow("connected") << true;
    // After a failed open the user goes to the dialog: that is not another failure.
    QTest::newRow("open failed before") << false;
}

void TestPortConnection::comSet() {
    QFETCH(bool, openSucceeds);
    Window w;
    (void)w.port.setSettings(QStringLiteral("9600,n,8,1"));
    w.port.setOpenResult(openSucceeds);
    w.connectNow();
    QCOMPARE(w.link->OpenRequested(), true);

    w.link->com_set_Click();
    QCOMPARE(w.log, QStringList{"9600,n,8,1"});
    QCOMPARE(w.dialogShown, 1);
    QVERIFY(!w.port.isOpen());
    QVERIFY(!w.link->OpenRequested());

    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(w.log, (QStringList{"9600,n,8,1", "已关闭 COM3 端口"}));
    QCOMPARE(w.caption, QStringLiteral("端口已关闭"));
    QVERIFY(!w.lit);
}

void TestPortConnection::disconnectStep() {
    Window w;
    // Closed port: recording and playback go ahead without a word.
    w.link->Disconnect();
    VirtualTime::advance(1000);
    QVERIFY(w.log.isEmpty());
    QCOMPARE(w.resets, 0);

    w.connectNow();
    w.resets = 0;
    w.link->Disconnect();
    QVERIFY(!w.port.isOpen());
    QVERIFY(!w.link->OpenRequested());
    QCOMPARE(w.resets, 1);
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(w.log, (QStringList{Disconnecting, "已关闭 COM3 端口"}));
    QVERIFY(!w.lit);
}

void TestPortConnection::vanishedDevice() {
    Window w;
    w.connectNow();
    QVERIFY(w.lit);
    w.resets = 0;

    w.port.unplug(QStringLiteral("No such file or directory"));
    QCOMPARE(w.log, QStringList{"设备已断开: COM3"});
    QVERIFY(!w.link->OpenRequested());
    QCOMPARE(w.resets, 1);
    VirtualTime::advance(PortConnection::ReportDelayMs);
    // A close the user did not ask for, not a failed open.
    QCOMPARE(w.log, (QStringList{"设备已断开: COM3", "已关闭 COM3 端口"}));
    QCOMPARE(w.caption, QStringLiteral("端口已关闭"));
    QVERIFY(!w.lit);

    // The device is back: the switch connects again and data flows.
    w.log.clear();
    w.link->iSwitchLedX1_Click();
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(w.log, (QStringList{Opening, "COM3--115200,n,8,1", "端口打开成功 ..."}));
    QVERIFY(w.lit);
    w.port.push(QByteArray("\xA5\x5A", 2));
    QCOMPARE(w.received, QByteArray("\xA5\x5A", 2));

    // An adapter that reports the loss with its port still claiming to be open: the port
    // is closed all the same.
    w.log.clear();
    emit w.port.deviceLost(QStringLiteral("still open"));
    QVERIFY(!w.port.isOpen());
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(w.log, (QStringList{"设备已断开: COM3", "已关闭 COM3 端口"}));
}

void TestPortConnection::receiveEvent() {
    Window w;
    w.connectNow();
    w.port.push(QByteArray("\x01\x02\x03", 3));
    w.port.push(QByteArray("\x04", 1));
    QCOMPARE(w.received, QByteArray("\x01\x02\x03\x04", 4));
    // The handler is not re-entered by its own reads, and listens again afterwards.
    QCOMPARE(w.thresholdWhileReceiving, 0);
    QCOMPARE(w.port.receiveThreshold(), 1);

    const int inputs = w.port.clearInputCount();
    const int outputs = w.port.clearOutputCount();
    w.port.push(QByteArray("\x05", 1));
    w.received.clear();
    w.port.raiseOverflow();
    QCOMPARE(w.log, QStringList{"缓冲区 溢出!"});
    QCOMPARE(w.port.clearInputCount(), inputs + 1);
    QCOMPARE(w.port.clearOutputCount(), outputs + 1);
    QVERIFY(w.port.pendingInput().isEmpty());
    QVERIFY(w.received.isEmpty());
    QCOMPARE(w.port.receiveThreshold(), 1);
}

void TestPortConnection::startup_data() {
    QTest::addColumn<QByteArray>("ini");  // "" = no file
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("logged");

    QTest::newRow("no file") << QByteArray() << 1 << "115200,n,8,1" << false;
    QTest::newRow("both keys") << QByteArray("[COM]\r\nPort=7\r\nSettings=9600,n,7,2\r\n") << 7
                               << "9600,n,7,2" << false;
    QTest::newRow("key case, section case")
        << QByteArray("[com]\nport=5\nSETTINGS=4800,n,8,2\n") << 5 << "4800,n,8,2" << false;
    QTest::newRow("Port only: both defaults")
        << QByteArray("[COM]\nPort=7\n") << 1 << "115200,n,8,1" << false;
    QTest::newRow("Settings only")
        << QByteArray("[COM]\nSettings=9600,n,8,1\n") << 1 << "115200,n,8,1" << false;
    QTest::newRow("port beyond the dialog's list")
        << QByteArray("[COM]\nPort=20\nSettings=9600,n,8,1\n") << 20 << "9600,n,8,1" << false;
    QTest::newRow("Port not a number")
        << QByteArray("[COM]\nPort=abc\nSettings=9600,n,8,1\n") << 1 << "115200,n,8,1" << true;
    QTest::newRow("Port with trailing text")
        << QByteArray("[COM]\nPort=3x\nSettings=9600,n,8,1\n") << 1 << "115200,n,8,1" << true;
    QTest::newRow("Port 0") << QByteArray("[COM]\nPort=0\nSettings=9600,n,8,1\n") << 1
                            << "115200,n,8,1" << true;
    QTest::newRow("Settings invalid")
        << QByteArray("[COM]\nPort=4\nSettings=9600,e,8,1\n") << 1 << "115200,n,8,1" << true;
    QTest::newRow("Settings incomplete")
        << QByteArray("[COM]\nPort=4\nSettings=,n,8,1\n") << 1 << "115200,n,8,1" << true;
}

void TestPortConnection::startup() {
    QFETCH(QByteArray, ini);
    QFETCH(int, port);
    QFETCH(QString, settings);
    QFETCH(bool, logged);

    Window w;
    if (!ini.isEmpty()) w.writeIni(ini);
    w.port.setReceiveThreshold(0);
    const QString before =
        QFile::exists(ProgramDir::file("OSC.ini")) ? QString::fromLatin1(ini) : QString();

    w.link->ConfigurePort();
    QCOMPARE(w.port.portNumber(), port);
    QCOMPARE(w.port.settings(), settings);
    QCOMPARE(w.port.receiveThreshold(), 1);
    QCOMPARE(w.port.clearInputCount(), 1);
    QCOMPARE(w.port.clearOutputCount(), 1);
    QVERIFY(!w.port.isOpen());
    QCOMPARE(w.port.openCount(), 0);
    if (logged) {
        QCOMPARE(w.log.size(), 1);
        QVERIFY2(w.log[0].contains("COM1--115200,n,8,1"), qPrintable(w.log[0]));
    } else {
        QVERIFY(w.log.isEmpty());
    }
    // Start-up never writes the file back.
    QFile f(ProgramDir::file("OSC.ini"));
    if (ini.isEmpty()) {
        QVERIFY(!f.exists());
    } else {
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(f.readAll()), before);
    }
}

void TestPortConnection::vantorReport() {
    Window w(ProgramVariant::Vantor);
    // The module tool reports the closed port once after start-up.
    QVERIFY(w.link->Timer4.enabled());
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(w.log, QStringList{"端口已关闭 ..."});
    QCOMPARE(w.caption, QStringLiteral("端口已关闭"));

    w.log.clear();
    w.port.setOpenResult(false);
    w.link->iSwitchLedX1_Click();
    VirtualTime::advance(PortConnection::ReportDelayMs);
    QCOMPARE(w.log, (QStringList{Opening, "端口已关闭 ..."}));

    w.log.clear();
    w.port.setOpenResult(true);
    w.connectNow();
    w.port.raiseOverflow();
    QCOMPARE(w.log, QStringList{"ComPort Buffer Overflow!"});
}

QTEST_GUILESS_MAIN(TestPortConnection)
#include "tst_port_connection.moc"
