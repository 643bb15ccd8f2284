#pragma once
// The log of everything on the link, one line per frame with its time in seconds since start:
//   12.345 RX A5 5A 04 E2 E6 AA      a frame (or loader block) from the host
//   12.350 RX? 11 22                 host bytes that made no frame
//   12.351 TX A5 5A 12 A1 ...        bytes the device wrote (as written, faults included)
//   12.400 -- gyroscope zeroed       what the device did
#include <QByteArray>
#include <QFile>
#include <QString>

class Transcript {
public:
    [[nodiscard]] bool open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }
    void rx(double nowMs, const QByteArray& bytes, bool understood);
    void tx(double nowMs, const QByteArray& bytes);
    void note(double nowMs, const QString& text);

    [[nodiscard]] static QString line(double nowMs, const QString& tag, const QByteArray& bytes);

private:
    void write(const QString& line);
    QFile m_file;
};
