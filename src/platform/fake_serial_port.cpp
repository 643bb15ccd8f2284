#include "platform/fake_serial_port.h"

bool FakeSerialPort::open() {
    ++m_openCount;
    if (m_open) return true;
    if (!m_openResult) return false;
    m_open = true;
    m_input.clear();
    applySettings();
    return true;
}

void FakeSerialPort::close() {
    m_open = false;
    m_input.clear();
}

qint64 FakeSerialPort::write(const QByteArray& bytes) {
    if (!m_open || m_writeFails) return -1;
    m_written += bytes;
    return bytes.size();
}

QByteArray FakeSerialPort::readAll() {
    QByteArray bytes;
    bytes.swap(m_input);
    return bytes;
}

void FakeSerialPort::clearInput() {
    ++m_clearInputs;
    m_input.clear();
}

void FakeSerialPort::push(const QByteArray& bytes) {
    if (!m_open || bytes.isEmpty()) return;
    m_input += bytes;
    raise(EventReceive);
}

void FakeSerialPort::raiseOverflow() {
    if (m_open) raise(EventOverflow);
}

void FakeSerialPort::unplug(const QString& reason) {
    if (!m_open) return;
    close();
    emit deviceLost(reason);
}

QByteArray FakeSerialPort::takeWritten() {
    QByteArray bytes;
    bytes.swap(m_written);
    return bytes;
}
