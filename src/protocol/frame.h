#pragma once
// The frame on the wire: A5 5A, length L (payload size + 4: from the length byte up to and
// including the tail), type, payload, checksum (length + type + payload, modulo 256), AA.
#include <QByteArray>
#include <QtGlobal>

namespace Frame {
constexpr quint8 Header1 = 0xA5;
constexpr quint8 Header2 = 0x5A;
constexpr quint8 Tail = 0xAA;

// The plain 8-bit sum of the bytes.
inline quint8 sum(const char* data, qsizetype n) {
    unsigned s = 0;
    for (qsizetype i = 0; i < n; ++i) s += static_cast<quint8>(data[i]);
    return static_cast<quint8>(s);
}

// A whole frame around the payload. L is one byte, so payloads above 251 bytes wrap it;
// callers send at most what the receivers take.
inline QByteArray build(quint8 type, const QByteArray& payload = {}) {
    QByteArray f;
    f.reserve(payload.size() + 6);
    f.append(char(Header1)).append(char(Header2));
    f.append(static_cast<char>((payload.size() + 4) & 0xFF)).append(static_cast<char>(type));
    f.append(payload);
    f.append(static_cast<char>(sum(f.constData() + 2, f.size() - 2)));
    f.append(char(Tail));
    return f;
}
}  // namespace Frame

// The six-byte command frame A5 5A 04 c (4 + c) AA.
inline QByteArray CommandFrame(quint8 code) { return Frame::build(code); }
