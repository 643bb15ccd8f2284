#include "link/port_connection.h"

#include "link/link_ini.h"
#include "link/startup_link.h"
#include "platform/profile_file.h"
#include "platform/serial_port.h"

namespace {

const QString Disconnecting = QStringLiteral("断开连接 ...");
const QString Opening = QStringLiteral("正在打开端口 ...");
const QString CaptionOpen = QStringLiteral("端口已打开");
const QString CaptionClosed = QStringLiteral("端口已关闭");
const QString OpenedOk = QStringLiteral("端口打开成功 ...");
const QString OpenFailed = QStringLiteral("端口打开失败 ...可能原因:");
const QString VantorClosed = QStringLiteral("端口已关闭 ...");
const QString TorvikOverflow = QStringLiteral("缓冲区 溢出!");
const QString VantorOverflow = QStringLiteral("ComPort Buffer Overflow!");

}  // namespace

PortConnection::PortConnection(SerialPort& port, ProgramVariant variant, Hooks hooks,
                               QObject* parent)
    : QObject(parent),
      Timer4(nullptr, ReportDelayMs),
      m_port(port),
      m_variant(variant),
      m_hooks(std::move(hooks)) {
    connect(&Timer4, &Timer::tick, this, &PortConnection::Timer4_Tick);
    connect(&m_port, &SerialPort::receiveEvent, this, &PortConnection::SerialPort_OnComm);
    connect(&m_port, &SerialPort::deviceLost, this, &PortConnection::onDeviceLost);
    if (m_variant == ProgramVariant::Vantor) Timer4.setEnabled(true);
}

void PortConnection::log(const QString& text) const {
    if (m_hooks.showMsg) m_hooks.showMsg(text);
}

void PortConnection::resetReceiver() const {
    if (m_hooks.resetReceiver) m_hooks.resetReceiver();
}

QString PortConnection::comName() const {
    return QStringLiteral("COM%1").arg(m_port.portNumber());
}

void PortConnection::scheduleReport() {
    // setInterval restarts a pending count-down, so clicks in quick succession give one
    // report, for the state the port ends in.
    Timer4.setInterval(ReportDelayMs);
    Timer4.setEnabled(true);
}

void PortConnection::ConfigurePort() {
    m_port.setReceiveThreshold(1);
    m_port.clearOutput();
    m_port.clearInput();
    const QString file = LinkIni::file();
    const QString settings = Read_ini(LinkIni::Section, LinkIni::SettingsKey, file);
    const QString portText = Read_ini(LinkIni::Section, LinkIni::PortKey, file);
    const StartupLink link = startupLink(portText, settings);
    // A port that refuses the file's values (it is never open here, but a platform may still
    // reject a number) falls back as well: start-up must not end on the file's contents.
    bool applied = m_port.setPortNumber(link.port) && m_port.setSettings(link.settings);
    if (!applied) {
        (void)m_port.setPortNumber(LinkIni::DefaultPort);
        (void)m_port.setSettings(QString::fromLatin1(SerialPort::DefaultSettings));
    }
    if (link.fellBack || !applied) log(startupFallbackMessage(portText, settings));
}

void PortConnection::iSwitchLedX1_Click() {
    if (m_port.isOpen()) {
        log(Disconnecting);
        m_port.close();
        m_openRequested = false;
    } else {
        // A failed open is reported by Timer4, not here.
        (void)m_port.open();
        log(Opening);
        m_openRequested = true;
        if (m_hooks.hideLabel1) m_hooks.hideLabel1();
    }
    scheduleReport();
    resetReceiver();
}

void PortConnection::com_set_Click() {
    log(m_port.settings());
    if (m_hooks.showSettingsDialog) m_hooks.showSettingsDialog();
    // The dialog cannot change the number of an open port: close it so that OK takes effect
    // and the user reconnects with the switch.
    if (m_port.isOpen()) m_port.close();
    m_openRequested = false;
    Timer4.setEnabled(true);
}

void PortConnection::Disconnect() {
    if (!m_port.isOpen()) return;
    log(Disconnecting);
    m_port.close();
    m_openRequested = false;
    scheduleReport();
    resetReceiver();
}

void PortConnection::onDeviceLost() {
    // The adapter closes the port before it reports the loss; should a port still claim to be
    // open, it is open on a device that is gone, so close it here.
    if (m_port.isOpen()) m_port.close();
    // A close the user did not ask for: the report then says the port is closed rather than
    // that opening it failed.
    log(QStringLiteral("设备已断开: %1").arg(comName()));
    m_openRequested = false;
    scheduleReport();
    resetReceiver();
}

void PortConnection::Timer4_Tick() {
    if (m_port.isOpen()) {
        if (m_hooks.setSwitchCaption) m_hooks.setSwitchCaption(CaptionOpen);
        log(comName() + QStringLiteral("--") + m_port.settings());
        log(OpenedOk);
        if (m_hooks.setSwitchLit) m_hooks.setSwitchLit(true);
    } else {
        if (m_hooks.setSwitchCaption) m_hooks.setSwitchCaption(CaptionClosed);
        if (m_variant == ProgramVariant::Vantor) {
            log(VantorClosed);
        } else if (m_openRequested) {
            log(OpenFailed);
            log(QStringLiteral("1. ") + comName() + QStringLiteral(" 不存在"));
            log(QStringLiteral("2. ") + comName() + QStringLiteral(" 已被其他的程序占用"));
        } else {
            log(QStringLiteral("已关闭 ") + comName() + QStringLiteral(" 端口"));
        }
        if (m_hooks.setSwitchLit) m_hooks.setSwitchLit(false);
    }
    Timer4.setEnabled(false);
}

void PortConnection::SerialPort_OnComm(int code) {
    // Threshold 0 while handling keeps the handler from being re-entered by its own reads.
    m_port.setReceiveThreshold(0);
    if (code == SerialPort::EventOverflow) {
        m_port.clearOutput();
        m_port.clearInput();
        log(m_variant == ProgramVariant::Vantor ? VantorOverflow : TorvikOverflow);
    } else if (code == SerialPort::EventReceive) {
        const QByteArray bytes = m_port.readAll();
        if (m_hooks.received) m_hooks.received(bytes);
    }
    m_port.setReceiveThreshold(1);
}
