#include "transcript.h"

bool Transcript::open(const QString& path) {
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

QString Transcript::line(double nowMs, const QString& tag, const QByteArray& bytes) {
    return QString::number(nowMs / 1000.0, 'f', 3) + u' ' + tag + u' ' +
           QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void Transcript::rx(double nowMs, const QByteArray& bytes, bool understood) {
    write(line(nowMs, understood ? QStringLiteral("RX") : QStringLiteral("RX?"), bytes));
}

void Transcript::tx(double nowMs, const QByteArray& bytes) {
    write(line(nowMs, QStringLiteral("TX"), bytes));
}

void Transcript::note(double nowMs, const QString& text) {
    write(QString::number(nowMs / 1000.0, 'f', 3) + QStringLiteral(" -- ") + text);
}

void Transcript::write(const QString& line) {
    if (!m_file.isOpen()) return;
    m_file.write(line.toUtf8());
    m_file.write("\n");
    // Flushed per line so that a test or a person can follow it while the simulator runs.
    m_file.flush();
}
