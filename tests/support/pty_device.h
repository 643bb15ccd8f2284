#pragma once
// The far end of a serial link in a test: the master side of a pseudo-terminal. The program
// under test opens the slave (by its path, or through a ports/comN link to it).
#include <QByteArray>
#include <QString>
#include <QTest>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

struct PtyDevice {
    int master = -1;
    int slave = -1;  // kept open as long as the device lives: master reads and writes work,
                     // and the line settings the program applied can be inspected
    QString path;

    bool make() {
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, name, &raw, nullptr) != 0) return false;
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        path = QString::fromLocal8Bit(name);
        return true;
    }
    void send(const QByteArray& bytes) const {
        QCOMPARE(::write(master, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }
    QByteArray received() const {
        QByteArray all;
        char buf[512];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0) all.append(buf, n);
        return all;
    }
    // The device vanishes, as when a USB adapter is pulled.
    void unplug() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    termios line() const {
        termios t{};
        tcgetattr(slave, &t);
        return t;
    }
    ~PtyDevice() {
        unplug();
        if (slave >= 0) ::close(slave);
    }
};
