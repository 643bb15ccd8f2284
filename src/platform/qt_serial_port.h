#pragma once
// SerialPort on QSerialPort. "Com N" resolves to <program dir>/ports/comN when that exists
// (a link to any device or pseudo-terminal), otherwise to the N-th serial device in the order
// ttyUSB*, ttyACM*, then the others, each in natural order.
#include <QStringList>
#include <memory>

#include "platform/serial_port.h"

class QSerialPort;

class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    // Bytes waiting beyond this raise event 1008 and the buffers are emptied.
    static constexpr qint64 DefaultReceiveLimit = 1 << 20;

    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override;
    void clearOutput() override;
    QString describe(int portNumber) const override;

    void setReceiveLimit(qint64 bytes) { m_receiveLimit = bytes; }

    // The device path "Com N" stands for, or "" when there is none.
    static QString resolve(int portNumber);
    // Serial devices of this machine in "Com N" order (without the ports/ links).
    static QStringList systemDevices();

protected:
    void applySettings() override;

private:
    void onReadyRead();
    void onError(int error);
    std::unique_ptr<QSerialPort> m_port;
    qint64 m_receiveLimit = DefaultReceiveLimit;
};
