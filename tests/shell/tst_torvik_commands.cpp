// The four command operations of the main window against a fake port: the six bytes on the
// wire, the two log lines in order, the TXD lamp; nothing at all with the port closed; and a
// failed write that still logs and lights.
#include <QTest>

#include "platform/fake_serial_port.h"
#include "platform/timer.h"
#include "shell/activity_lamp.h"
#include "shell/message_log.h"
#include "shell/torvik_commands.h"

using Operation = void (TorvikCommands::*)();
Q_DECLARE_METATYPE(Operation)

namespace {
struct Fixture {
    FakeSerialPort port;
    QObject window;
    ActivityLamp* txd = ActivityLamp::txd(&window);
    MessageLog log{nullptr};
    TorvikCommands commands{port, log, *txd};
};
}  // namespace

class TestTorvikCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { VirtualTime::install(); }
    void cleanupTestCase() { VirtualTime::uninstall(); }

    void sendsFrameLogsAndLights_data();
    void sendsFrameLogsAndLights();
    void closedPortDoesNothing_data() { sendsFrameLogsAndLights_data(); }
    void closedPortDoesNothing();
    void failedWriteStillLogsAndLights();
};

void TestTorvikCommands::sendsFrameLogsAndLights_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("Send_gyro") << &TorvikCommands::Send_gyro << QByteArray::fromHex("A55A04E0E4AA")
                               << "陀螺标零偏 命令已经发送！";
    QTest::newRow("Send_hmc") << &TorvikCommands::Send_hmc << QByteArray::fromHex("A55A04E1E5AA")
                              << "保存磁力标定数据 命令已经发送！";
    QTest::newRow("Send_high") << &TorvikCommands::Send_high << QByteArray::fromHex("A55A04E2E6AA")
                               << "气压高度标零 命令已经发送！";
    QTest::newRow("Send_hmc_begin")
        << &TorvikCommands::Send_hmc_begin << QByteArray::fromHex("A55A04E3E7AA")
        << "开始磁标定 命令已经发送！";
}

void TestTorvikCommands::sendsFrameLogsAndLights() {
    QFETCH(Operation, operation);
    QFETCH(QByteArray, wire);
    QFETCH(QString, firstLine);
    Fixture f;
    QVERIFY(f.port.open());
    (f.commands.*operation)();

    QCOMPARE(f.port.written(), wire);
    // The second line spells out exactly the bytes that went out.
    const QString hexLine =
        QStringLiteral("命令格式(HEX): ") + QString::fromLatin1(wire.toHex(' ').toUpper());
    QCOMPARE(f.log.text(),
             QStringLiteral("1:  ") + firstLine + QStringLiteral("\r\n>  ") + hexLine);
    QVERIFY(f.txd->lit());

    // Sent again while the lamp is lit: lit for another 200 ms from then.
    VirtualTime::advance(150);
    (f.commands.*operation)();
    QCOMPARE(f.port.written(), wire + wire);
    VirtualTime::advance(199);
    QVERIFY(f.txd->lit());
    VirtualTime::advance(1);
    QVERIFY(!f.txd->lit());
}

void TestTorvikCommands::closedPortDoesNothing() {
    QFETCH(Operation, operation);
    Fixture f;
    (f.commands.*operation)();
    QVERIFY(f.port.written().isEmpty());
    QVERIFY(f.log.isEmpty());
    QCOMPARE(f.log.counter(), qint16(0));
    QVERIFY(!f.txd->lit());

    // Closed again after being open: still nothing.
    QVERIFY(f.port.open());
    f.port.close();
    (f.commands.*operation)();
    QVERIFY(f.port.written().isEmpty());
    QVERIFY(f.log.isEmpty());
}

void TestTorvikCommands::failedWriteStillLogsAndLights() {
    Fixture f;
    QVERIFY(f.port.open());
    f.port.setWriteFails(true);
    f.commands.Send_high();
    QVERIFY(f.port.written().isEmpty());
    QCOMPARE(
        f.log.text(),
        QStringLiteral("1:  气压高度标零 命令已经发送！\r\n>  命令格式(HEX): A5 5A 04 E2 E6 AA"
                       "\r\n>  命令发送失败: 串口写入出错"));
    QVERIFY(f.txd->lit());
}

QTEST_GUILESS_MAIN(TestTorvikCommands)
#include "tst_torvik_commands.moc"
