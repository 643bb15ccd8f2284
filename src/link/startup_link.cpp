#include "link/startup_link.h"

#include "link/link_ini.h"
#include "platform/serial_port.h"

namespace {

bool usablePort(const QString& text, int* port) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (c < u'0' || c > u'9') return false;
    bool ok = false;
    *port = t.toInt(&ok);
    return ok && *port >= 1;
}

StartupLink defaults(bool fellBack) {
    return {LinkIni::DefaultPort, QString::fromLatin1(SerialPort::DefaultSettings), fellBack};
}

}  // namespace

StartupLink startupLink(const QString& portText, const QString& settingsText) {
    if (portText.isEmpty() || settingsText.isEmpty()) return defaults(false);
    int port = 0;
    if (!usablePort(portText, &port) || !LinkSettings::parse(settingsText)) return defaults(true);
    return {port, settingsText, false};
}

QString startupFallbackMessage(const QString& portText, const QString& settingsText) {
    return QStringLiteral("OSC.ini 中的端口设置无效(Port=%1 Settings=%2),已改用默认值 COM%3--%4")
        .arg(portText, settingsText)
        .arg(LinkIni::DefaultPort)
        .arg(QString::fromLatin1(SerialPort::DefaultSettings));
}
