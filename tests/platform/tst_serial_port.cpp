// The rules every SerialPort keeps (settings strings, refused numbers and settings, receive
// threshold), shown on FakeSerialPort, and what the fake lets a window test do to a port.
#include <QSignalSpy>
#include <QTest>

#include "platform/fake_serial_port.h"

class SerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void parseSettings_data();
    void parseSettings();
    void portNumberRefusedWhileOpenOrBelowOne();
    void settingsRefusedWhenInvalidAppliedWhenOpen();
    void eventsOnlyWhileThresholdAboveZero();
    void refusedOpen();
    void unplugClosesAndReportsOnce();
    void writesAndWriteFailure();
};

void SerialPortTest::parseSettings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical");  // "" = refused

    QTest::newRow("default") << "115200,n,8,1"
                             << "115200,n,8,1";
    QTest::newRow("dialog choice") << "9600,n,7,2"
                                   << "9600,n,7,2";
    QTest::newRow("one and a half stop bits") << "600,n,5,1.5"
                                              << "600,n,5,1.5";
    QTest::newRow("odd baud rate") << "56000,n,8,1"
                                   << "56000,n,8,1";
    QTest::newRow("capital N") << "4800,N,6,1"
                               << "4800,n,6,1";
    QTest::newRow("baud missing (no list entry)") << ",n,8,1"
                                                  << "";
    QTest::newRow("data bits missing") << "9600,n,,1"
                                       << "";
    QTest::newRow("stop bits missing") << "9600,n,8,"
                                       << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("too few parts") << "9600,n,8"
                                   << "";
    QTest::newRow("too many parts") << "9600,n,8,1,x"
                                    << "";
    QTest::newRow("even parity") << "9600,e,8,1"
                                 << "";
    QTest::newRow("odd parity") << "9600,o,8,1"
                                << "";
    QTest::newRow("4 data bits") << "9600,n,4,1"
                                 << "";
    QTest::newRow("9 data bits") << "9600,n,9,1"
                                 << "";
    QTest::newRow("3 stop bits") << "9600,n,8,3"
                                 << "";
    QTest::newRow("stop 1.0") << "9600,n,8,1.0"
                              << "";
    QTest::newRow("baud 0") << "0,n,8,1"
                            << "";
    QTest::newRow("negative baud") << "-9600,n,8,1"
                                   << "";
    QTest::newRow("signed baud") << "+9600,n,8,1"
                                 << "";
    QTest::newRow("leading zero") << "09600,n,8,1"
                                  << "";
    QTest::newRow("fractional baud") << "9600.5,n,8,1"
                                     << "";
    QTest::newRow("baud with letters") << "9600abc,n,8,1"
                                       << "";
    QTest::newRow("baud beyond int") << "99999999999,n,8,1"
                                     << "";
    QTest::newRow("blank after comma") << "9600, n,8,1"
                                       << "";
    QTest::newRow("trailing blank") << "9600,n,8,1 "
                                    << "";
    QTest::newRow("leading blank") << " 9600,n,8,1"
                                   << "";
    QTest::newRow("semicolons") << "9600;n;8;1"
                                << "";
}

void SerialPortTest::parseSettings() {
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    const auto parsed = LinkSettings::parse(text);
    QCOMPARE(parsed.has_value(), !canonical.isEmpty());
    if (parsed) QCOMPARE(parsed->toString(), canonical);

    FakeSerialPort port;
    QVERIFY(port.setSettings(QStringLiteral("1200,n,8,2")));
    QCOMPARE(port.setSettings(text), !canonical.isEmpty());
    QCOMPARE(port.settings(), canonical.isEmpty() ? QStringLiteral("1200,n,8,2") : canonical);
}

void SerialPortTest::portNumberRefusedWhileOpenOrBelowOne() {
    FakeSerialPort port;
    QCOMPARE(port.portNumber(), 1);
    QVERIFY(port.setPortNumber(7));
    QVERIFY(!port.setPortNumber(0));
    QVERIFY(!port.setPortNumber(-3));
    QCOMPARE(port.portNumber(), 7);
    QVERIFY(port.open());
    QVERIFY(!port.setPortNumber(3));
    QCOMPARE(port.portNumber(), 7);
    port.close();
    QVERIFY(port.setPortNumber(3));
    QCOMPARE(port.portNumber(), 3);
}

void SerialPortTest::settingsRefusedWhenInvalidAppliedWhenOpen() {
    FakeSerialPort port;
    QCOMPARE(port.settings(), QStringLiteral("115200,n,8,1"));
    QVERIFY(port.setSettings(QStringLiteral("9600,n,8,1")));
    QCOMPARE(port.appliedSettings(), QString());  // closed: nothing reaches the device
    QVERIFY(port.open());
    QCOMPARE(port.appliedSettings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(port.setSettings(QStringLiteral("38400,n,7,2")));
    QCOMPARE(port.appliedSettings(), QStringLiteral("38400,n,7,2"));
    QVERIFY(!port.setSettings(QStringLiteral(",n,8,1")));
    QCOMPARE(port.settings(), QStringLiteral("38400,n,7,2"));
    QCOMPARE(port.appliedSettings(), QStringLiteral("38400,n,7,2"));
}

// The receive handler sets the threshold to 0 while it runs; bytes arriving then wait in the
// buffer and come with the next read.
void SerialPortTest::eventsOnlyWhileThresholdAboveZero() {
    FakeSerialPort port;
    QSignalSpy events(&port, &SerialPort::receiveEvent);
    port.push("\x01");  // closed: the device cannot deliver
    QCOMPARE(events.count(), 0);
    QVERIFY(port.open());
    QCOMPARE(port.readAll(), QByteArray());

    port.setReceiveThreshold(0);
    port.push("\xA5\x5A");
    port.raiseOverflow();
    QCOMPARE(events.count(), 0);
    port.setReceiveThreshold(1);
    port.push("\x04");
    port.raiseOverflow();
    QCOMPARE(events.count(), 2);
    QCOMPARE(events.at(0).at(0).toInt(), SerialPort::EventReceive);
    QCOMPARE(events.at(1).at(0).toInt(), SerialPort::EventOverflow);
    QCOMPARE(port.readAll(), QByteArray("\xA5\x5A\x04"));
    QCOMPARE(port.readAll(), QByteArray());

    port.push("\x05");
    port.clearInput();
    QCOMPARE(port.clearInputCount(), 1);
    QCOMPARE(port.readAll(), QByteArray());
}

void SerialPortTest::refusedOpen() {
    FakeSerialPort port;
    port.setOpenResult(false);
    QVERIFY(!port.open());
    QVERIFY(!port.isOpen());
    QCOMPARE(port.write("\x01"), qint64(-1));
    port.setOpenResult(true);
    QVERIFY(port.open());
    QCOMPARE(port.openCount(), 2);
}

void SerialPortTest::unplugClosesAndReportsOnce() {
    FakeSerialPort port;
    QSignalSpy lost(&port, &SerialPort::deviceLost);
    QVERIFY(port.open());
    port.setReceiveThreshold(0);
    port.push("\x01\x02");
    bool openWhenReported = true;
    connect(&port, &SerialPort::deviceLost, [&] { openWhenReported = port.isOpen(); });
    port.unplug(QStringLiteral("cable pulled"));
    port.unplug();
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.at(0).at(0).toString(), QStringLiteral("cable pulled"));
    QVERIFY(!openWhenReported);
    QCOMPARE(port.readAll(), QByteArray());
    QVERIFY(port.open());  // plugged in again
}

void SerialPortTest::writesAndWriteFailure() {
    FakeSerialPort port;
    QCOMPARE(port.write("\xA5"), qint64(-1));  // closed
    QVERIFY(port.open());
    QCOMPARE(port.write(QByteArray("\xA5\x5A\x04\x01\x05\xAA", 6)), qint64(6));
    port.setWriteFails(true);
    QCOMPARE(port.write("\x10"), qint64(-1));
    port.setWriteFails(false);
    QCOMPARE(port.write("\x11"), qint64(1));
    QCOMPARE(port.takeWritten(), QByteArray("\xA5\x5A\x04\x01\x05\xAA\x11", 7));
    QCOMPARE(port.written(), QByteArray());
}

QTEST_GUILESS_MAIN(SerialPortTest)
#include "tst_serial_port.moc"
