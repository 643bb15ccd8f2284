#include "platform/serial_port.h"

#include <QStringList>

namespace {

// A plain decimal number without sign, blanks or leading zero, as the settings string
// carries its baud rate and data bits.
std::optional<int> plainNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 9 || text.front() == u'0') return std::nullopt;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return std::nullopt;
    return text.toInt();
}

}  // namespace

std::optional<LinkSettings> LinkSettings::parse(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return std::nullopt;
    LinkSettings s;
    const auto baud = plainNumber(parts[0]);
    if (!baud) return std::nullopt;
    s.baud = *baud;
    // No parity is the only one the devices use and the only one this program writes.
    if (parts[1] != u"n" && parts[1] != u"N") return std::nullopt;
    const auto data = plainNumber(parts[2]);
    if (!data || *data < 5 || *data > 8) return std::nullopt;
    s.dataBits = *data;
    if (parts[3] != u"1" && parts[3] != u"1.5" && parts[3] != u"2") return std::nullopt;
    s.stopBits = parts[3];
    return s;
}

QString LinkSettings::toString() const {
    return QStringLiteral("%1,n,%2,%3").arg(baud).arg(dataBits).arg(stopBits);
}

bool SerialPort::setPortNumber(int n) {
    if (n < 1 || isOpen()) return false;
    m_port = n;
    return true;
}

bool SerialPort::setSettings(const QString& text) {
    const auto parsed = LinkSettings::parse(text);
    if (!parsed) return false;
    m_settings = parsed->toString();
    if (isOpen()) applySettings();
    return true;
}

void SerialPort::setReceiveThreshold(int n) {
    m_threshold = qMax(0, n);
}

void SerialPort::raise(int code) {
    if (m_threshold > 0) emit receiveEvent(code);
}
