#pragma once
// SerialPort on QSerialPort. "Com N" resolves to <program dir>/ports/comN when that exists
// (a link to any device or pseudo-terminal), otherwise to the N-th serial device in the order
// ttyUSB*, ttyACM*, then the others, each in natural order. A link whose device is gone still
// pins the number: opening it fails rather than opening some other device.
// When the device vanishes the port is closed at once and deviceLost follows from the event
// loop, never from inside a call of this class.
#include <QStringList>
#include <memory>

#include "platform/serial_port.h"

class QSerialPort;

class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    // Bytes waiting beyond this raise event 1008 and the buffers are emptied.
    static constexpr qint64 DefaultReceiveLimit = 1 << 20;
    // describe() of a port number that stands for no device.
    static inline const QString NotPresent = QStringLiteral("不存在");

    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override;
    void clearOutput() override;
    // "ports/com1 → /dev/pts/3", "/dev/ttyUSB0 (FT232R USB UART)", or NotPresent; a link
    // whose device is gone ends in NotPresent.
    QString describe(int portNumber) const override;

    void setReceiveLimit(qint64 bytes) { m_receiveLimit = bytes; }

    // The device path "Com N" stands for, or "" when there is none.
    static QString resolve(int portNumber);
    // Serial devices of this machine in "Com N" order (without the ports/ links).
    static QStringList systemDevices();
    // Device names or paths in "Com N" order: ttyUSB*, then ttyACM*, then the others, each in
    // natural order (ttyUSB2 before ttyUSB10); only the file name counts.
    static QStringList orderDevices(QStringList devices);

protected:
    void applySettings() override;

private:
    void onReadyRead();
    void onError(int error);
    std::unique_ptr<QSerialPort> m_port;
    qint64 m_receiveLimit = DefaultReceiveLimit;
    bool m_closing = false;  // errors raised by our own close() are not a lost device
};
