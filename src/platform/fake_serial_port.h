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
    void clearInput() override;
    void clearOutput() override { ++m_clearOutputs; }

    // --- test side ---
    void setOpenResult(bool ok) { m_openResult = ok; }  // false: the next opens fail
    void setWriteFails(bool fails) { m_writeFails = fails; }
    // Buffers the bytes and raises receive event 2 (when open and the threshold allows); a
    // closed port receives nothing, so bytes pushed then are dropped.
    void push(const QByteArray& bytes);
    void raiseOverflow();  // receive event 1008 (when open); the buffered bytes stay
    // Closes the port and emits deviceLost; nothing happens while the port is closed.
    void unplug(const QString& reason = QStringLiteral("device removed"));
    QByteArray written() const { return m_written; }
    QByteArray takeWritten();
    int openCount() const { return m_openCount; }  // calls of open(), refused ones included
    int clearInputCount() const { return m_clearInputs; }
    int clearOutputCount() const { return m_clearOutputs; }
    // The settings string the "device" runs at: applied by open() and by setSettings() while
    // open; "" before the first open.
    QString appliedSettings() const { return m_applied; }
    QByteArray pendingInput() const { return m_input; }  // pushed and not yet read

protected:
    void applySettings() override { m_applied = settings(); }

private:
    bool m_open = false;
    bool m_openResult = true;
    bool m_writeFails = false;
    int m_openCount = 0;
    int m_clearInputs = 0;
    int m_clearOutputs = 0;
    QString m_applied;
    QByteArray m_input;
    QByteArray m_written;
};
