#pragma once
// The serial port a main window owns: port number, settings string, open/close, binary
// reads and writes, receive threshold and a receive event (2 = data, 1008 = receive-buffer
// overflow). QtSerialPort adapts QSerialPort; FakeSerialPort is the test double.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

// "baud,n,data,stop" as stored in OSC.ini: baud a positive integer, parity n, data bits 5-8,
// stop bits 1, 1.5 or 2.
struct LinkSettings {
    int baud = 115200;
    int dataBits = 8;
    QString stopBits = QStringLiteral("1");  // "1", "1.5" or "2"

    // nullopt when the text is not a valid settings string.
    static std::optional<LinkSettings> parse(const QString& text);
    QString toString() const;
};

class SerialPort : public QObject {
    Q_OBJECT
public:
    static constexpr int EventReceive = 2;
    static constexpr int EventOverflow = 1008;
    static constexpr const char* DefaultSettings = "115200,n,8,1";

    explicit SerialPort(QObject* parent = nullptr) : QObject(parent) {}

    int portNumber() const { return m_port; }
    // Refused (false, number unchanged) while the port is open or when n < 1.
    [[nodiscard]] bool setPortNumber(int n);
    QString settings() const { return m_settings; }
    // Refused (false, settings unchanged) when the text is not a valid settings string.
    // Applies to an open port at once.
    [[nodiscard]] bool setSettings(const QString& text);

    // Events are raised only while the threshold is above 0.
    int receiveThreshold() const { return m_threshold; }
    void setReceiveThreshold(int n);

    virtual bool open() = 0;  // false when the device is missing or busy
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 write(const QByteArray& bytes) = 0;  // -1 on failure
    virtual QByteArray readAll() = 0;
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;

    // What "Com N" resolves to on this machine (a path), for the port dialog's tool tips.
    virtual QString describe(int portNumber) const {
        return QStringLiteral("Com %1").arg(portNumber);
    }

signals:
    void receiveEvent(int code);
    // The device behind the open port vanished; the port is already closed when this fires.
    void deviceLost(const QString& reason);

protected:
    virtual void applySettings() {}
    // Raise the receive event when the threshold allows it.
    void raise(int code);

private:
    int m_port = 1;
    QString m_settings = QString::fromLatin1(DefaultSettings);
    int m_threshold = 1;
};
