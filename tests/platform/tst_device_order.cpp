// The order in which "Com 1", "Com 2", ... count a machine's serial devices: USB adapters
// first, then USB modems (ttyACM), then the rest, each in natural order.
#include <QTest>

#include "platform/qt_serial_port.h"

class DeviceOrderTest : public QObject {
    Q_OBJECT
private slots:
    void order_data();
    void order();
};

void DeviceOrderTest::order_data() {
    QTest::addColumn<QString>("devices");
    QTest::addColumn<QString>("ordered");

    QTest::newRow("none") << ""
                          << "";
    QTest::newRow("natural, not text order") << "ttyUSB10 ttyUSB2 ttyUSB1 ttyUSB0"
                                             << "ttyUSB0 ttyUSB1 ttyUSB2 ttyUSB10";
    QTest::newRow("USB, then ACM, then others") << "ttyS0 ttyACM0 ttyAMA0 ttyUSB0 rfcomm0"
                                                << "ttyUSB0 ttyACM0 rfcomm0 ttyAMA0 ttyS0";
    QTest::newRow("each family in natural order")
        << "ttyS10 ttyACM11 ttyS2 ttyUSB3 ttyACM9 ttyS1 ttyUSB12"
        << "ttyUSB3 ttyUSB12 ttyACM9 ttyACM11 ttyS1 ttyS2 ttyS10";
    QTest::newRow("paths sort by their file name") << "/dev/ttyS0 /dev/serial/ttyUSB1 /dev/ttyUSB0"
                                                   << "/dev/ttyUSB0 /dev/serial/ttyUSB1 /dev/ttyS0";
    QTest::newRow("leading zeros count as the number") << "ttyS010 ttyS9 ttyS02"
                                                       << "ttyS02 ttyS9 ttyS010";
    QTest::newRow("numbers inside the name") << "ttyXR10a ttyXR2b ttyXR2a"
                                             << "ttyXR2a ttyXR2b ttyXR10a";
    QTest::newRow("name without number first") << "ttyGS1 ttyGS ttyGS0"
                                               << "ttyGS ttyGS0 ttyGS1";
    QTest::newRow("huge numbers") << "ttyS99999999999999999999 ttyS100000000000000000000"
                                  << "ttyS99999999999999999999 ttyS100000000000000000000";
}

void DeviceOrderTest::order() {
    QFETCH(QString, devices);
    QFETCH(QString, ordered);
    const QStringList in = devices.split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(QtSerialPort::orderDevices(in).join(u' '), ordered);
    // The order does not depend on the order the system lists them in.
    QStringList reversed(in.rbegin(), in.rend());
    QCOMPARE(QtSerialPort::orderDevices(reversed).join(u' '), ordered);
}

QTEST_APPLESS_MAIN(DeviceOrderTest)
#include "tst_device_order.moc"
