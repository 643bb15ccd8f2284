#include "platform/qt_serial_port.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>

#include "platform/program_dir.h"

namespace {

int familyRank(const QString& name) {
    if (name.startsWith(u"ttyUSB")) return 0;
    if (name.startsWith(u"ttyACM")) return 1;
    return 2;
}

// Natural order: runs of digits compare by value, everything else by character.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit()) ++ei;
            while (ej < b.size() && b[ej].isDigit()) ++ej;
            // Leading zeros do not make a number bigger.
            qsizetype zi = i, zj = j;
            while (zi + 1 < ei && a[zi] == u'0') ++zi;
            while (zj + 1 < ej && b[zj] == u'0') ++zj;
            if (ei - zi != ej - zj) return ei - zi < ej - zj;
            const int c =
                QStringView(a).sliced(zi, ei - zi).compare(QStringView(b).sliced(zj, ej - zj));
            if (c != 0) return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j];
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;
}

QString linkOf(int portNumber) {
    return ProgramDir::file(QStringLiteral("ports/com%1").arg(portNumber));
}

bool entryExists(const QFileInfo& info) {
    return info.exists() || info.isSymLink();
}

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent)
    : SerialPort(parent), m_port(std::make_unique<QSerialPort>()) {
    connect(m_port.get(), &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(m_port.get(), &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { onError(int(e)); });
}

QtSerialPort::~QtSerialPort() {
    m_closing = true;
    m_port->disconnect(this);
    m_port->close();
}

QStringList QtSerialPort::orderDevices(QStringList devices) {
    auto key = [](const QString& d) { return d.section(u'/', -1); };
    std::stable_sort(devices.begin(), devices.end(), [&](const QString& a, const QString& b) {
        const QString na = key(a), nb = key(b);
        const int ra = familyRank(na), rb = familyRank(nb);
        if (ra != rb) return ra < rb;
        return naturalLess(na, nb);
    });
    return devices;
}

QStringList QtSerialPort::systemDevices() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    return orderDevices(devices);
}

QString QtSerialPort::resolve(int portNumber) {
    if (portNumber < 1) return {};
    const QString link = linkOf(portNumber);
    if (entryExists(QFileInfo(link))) return link;
    return systemDevices().value(portNumber - 1);
}

QString QtSerialPort::describe(int portNumber) const {
    const QString path = resolve(portNumber);
    if (path.isEmpty()) return NotPresent;
    const QFileInfo info(path);
    if (path == linkOf(portNumber)) {
        // The program directory is implied; the user pinned this link by hand.
        QString text = QStringLiteral("ports/com%1").arg(portNumber);
        if (info.isSymLink()) text += QStringLiteral(" → ") + info.symLinkTarget();
        if (!info.exists()) text += u' ' + NotPresent;
        return text;
    }
    const QString what = QSerialPortInfo(path).description();
    return what.isEmpty() ? path : QStringLiteral("%1 (%2)").arg(path, what);
}

bool QtSerialPort::open() {
    if (m_port->isOpen()) return true;
    const QString path = resolve(portNumber());
    if (path.isEmpty()) return false;
    m_port->setPortName(path);
    if (!m_port->open(QIODevice::ReadWrite)) return false;
    applySettings();
    // Whatever the device sent before we listened belongs to nobody.
    m_port->clear(QSerialPort::AllDirections);
    return true;
}

void QtSerialPort::close() {
    if (!m_port->isOpen()) return;
    m_closing = true;
    m_port->flush();  // a command written just before closing still goes out
    m_port->close();
    m_closing = false;
}

bool QtSerialPort::isOpen() const {
    return m_port->isOpen();
}

qint64 QtSerialPort::write(const QByteArray& bytes) {
    if (!m_port->isOpen()) return -1;
    return m_port->write(bytes);
}

QByteArray QtSerialPort::readAll() {
    if (!m_port->isOpen()) return {};
    return m_port->readAll();
}

void QtSerialPort::clearInput() {
    if (m_port->isOpen()) m_port->clear(QSerialPort::Input);
}

void QtSerialPort::clearOutput() {
    if (m_port->isOpen()) m_port->clear(QSerialPort::Output);
}

void QtSerialPort::applySettings() {
    const auto s = LinkSettings::parse(settings());
    if (!s || !m_port->isOpen()) return;
    // A device that refuses one of these keeps running at what it had; the link still opens,
    // as the desktop port did. termios has no 1.5 stop bits: with 5 data bits a UART sends
    // 1.5 where it is told 2.
    m_port->setBaudRate(s->baud);
    m_port->setDataBits(QSerialPort::DataBits(s->dataBits));
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(s->stopBits == u"1" ? QSerialPort::OneStop : QSerialPort::TwoStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::onReadyRead() {
    if (m_port->bytesAvailable() > m_receiveLimit) {
        m_port->clear(QSerialPort::AllDirections);
        raise(EventOverflow);
        return;
    }
    raise(EventReceive);
}

void QtSerialPort::onError(int error) {
    if (m_closing || !m_port->isOpen()) return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    // QSerialPort keeps the dead descriptor open and reports the error again on every pass of
    // the event loop; closing now is what stops it.
    const QString reason = m_port->errorString();
    close();
    QMetaObject::invokeMethod(
        this, [this, reason] { emit deviceLost(reason); }, Qt::QueuedConnection);
}
