#pragma once
// Test double of SerialPort: a test pushes bytes, raises 1008, refuses an open, pulls the
// device away and reads what was written.
#include "platform/serial_port.h"

class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void clearInput() override { m_input.clear(); }
    void clearOutput() override {}

    // --- test side ---
    void setOpenResult(bool ok) { m_openResult = ok; }  // false: the next opens fail
    void setWriteFails(bool fails) { m_writeFails = fails; }
    // Buffers the bytes and raises receive event 2 (when open and the threshold allows).
    void push(const QByteArray& bytes);
    void raiseOverflow();  // receive event 1008
    void unplug(const QString& reason = QStringLiteral("device removed"));  // close + deviceLost
    QByteArray written() const { return m_written; }
    QByteArray takeWritten();
    int openCount() const { return m_openCount; }
    int clearInputCount() const { return m_clearInputs; }

private:
    bool m_open = false;
    bool m_openResult = true;
    bool m_writeFails = false;
    int m_openCount = 0;
    int m_clearInputs = 0;
    QByteArray m_input;
    QByteArray m_written;
};
