#include "pty_link.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

PtyLink::~PtyLink() {
    unplug();
}

bool PtyLink::open(const QString& dir, int port, QString* error) {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw bytes both ways: no echo of the host's frames, no line editing, no CR/LF mapping.
    termios t{};
    if (::tcgetattr(m_slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
    }
    // The slave stays open here as well: when the host closes the port, the master then sees
    // no hang-up, and the next open by the host finds the same terminal working.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);

    const QString ports = QDir(dir).filePath(QStringLiteral("ports"));
    if (!QDir().mkpath(ports)) {
        *error = QStringLiteral("cannot create %1").arg(ports);
        return false;
    }
    const QString link = QDir(ports).filePath(QStringLiteral("com%1").arg(port));
    const QFileInfo old(link);
    if (old.exists() || old.isSymLink()) QFile::remove(link);  // left by a simulator that died
    if (!QFile::link(m_slavePath, link)) {
        *error = QStringLiteral("cannot link %1 to %2").arg(link, m_slavePath);
        return false;
    }
    m_linkPath = link;
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyLink::readMaster);
    return true;
}

void PtyLink::readMaster() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            emit received(QByteArray(buf, int(n)));
            if (m_master < 0) return;  // a handler unplugged the device
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;  // EAGAIN: all read; EIO cannot happen while our own slave is open
    }
}

void PtyLink::write(const QByteArray& bytes) {
    if (m_master < 0) return;
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    bool flushed = false;
    while (left > 0) {
        const ssize_t n = ::write(m_master, p, size_t(left));
        if (n > 0) {
            p += n;
            left -= n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && !flushed) {
            // Nobody reads the port (the host has closed it): what waits in the terminal is
            // stale telemetry, which a device's bytes on an unread line are anyway.
            ::tcflush(m_slave, TCIFLUSH);
            flushed = true;
            continue;
        }
        return;  // dropped, as bytes on a line nobody listens to
    }
}

void PtyLink::removeLink() {
    if (m_linkPath.isEmpty()) return;
    // Only our own link: another simulator may have taken the name since.
    if (QFile::symLinkTarget(m_linkPath) == m_slavePath) QFile::remove(m_linkPath);
    m_linkPath.clear();
}

void PtyLink::unplug() {
    removeLink();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = m_slave = -1;
}
