#pragma once
// Field encodings of the frames' payloads. Readers take an RxFrame-style index and refuse
// (return false, *out untouched) when the field is not completely inside the bytes, so a
// decoder never reads past what was received.
#include <QByteArray>
#include <QtGlobal>
#include <cstring>

namespace Field {

inline bool has(const QByteArray& b, int index, int size) {
    return index >= 0 && size >= 0 && index <= b.size() - size;
}
inline quint8 byteAt(const QByteArray& b, int i) { return static_cast<quint8>(b[i]); }

// --- readers ---
inline bool u8(const QByteArray& b, int i, int* out) {
    if (!has(b, i, 1)) return false;
    *out = byteAt(b, i);
    return true;
}
inline bool u16be(const QByteArray& b, int i, int* out) {
    if (!has(b, i, 2)) return false;
    *out = byteAt(b, i) << 8 | byteAt(b, i + 1);
    return true;
}
inline bool s16be(const QByteArray& b, int i, int* out) {
    int v;
    if (!u16be(b, i, &v)) return false;
    *out = static_cast<qint16>(v);
    return true;
}
// Sign and magnitude, high byte first: bit 15 the sign, so 0x8005 is -5 and 0x8000 is 0.
inline bool sm16be(const QByteArray& b, int i, int* out) {
    int v;
    if (!u16be(b, i, &v)) return false;
    *out = v < 0x8000 ? v : -(v & 0x7FFF);
    return true;
}
inline bool s32be(const QByteArray& b, int i, qint32* out) {
    if (!has(b, i, 4)) return false;
    const quint32 v = quint32(byteAt(b, i)) << 24 | quint32(byteAt(b, i + 1)) << 16 |
                      quint32(byteAt(b, i + 2)) << 8 | byteAt(b, i + 3);
    *out = static_cast<qint32>(v);
    return true;
}
inline bool f32le(const QByteArray& b, int i, float* out) {
    if (!has(b, i, 4)) return false;
    const quint32 v = quint32(byteAt(b, i)) | quint32(byteAt(b, i + 1)) << 8 |
                      quint32(byteAt(b, i + 2)) << 16 | quint32(byteAt(b, i + 3)) << 24;
    std::memcpy(out, &v, 4);
    return true;
}

// --- writers (append to a payload) ---
inline void putU8(QByteArray& b, int v) { b.append(static_cast<char>(v & 0xFF)); }
inline void putU16be(QByteArray& b, int v) {
    putU8(b, v >> 8);
    putU8(b, v);
}
inline void putS16be(QByteArray& b, int v) { putU16be(b, static_cast<quint16>(v)); }
// Magnitudes above 0x7FFF are clipped: the format has 15 bits for them.
inline void putSm16be(QByteArray& b, int v) {
    const int mag = qMin(v < 0 ? -v : v, 0x7FFF);
    putU16be(b, v < 0 ? (0x8000 | mag) : mag);
}
inline void putS32be(QByteArray& b, qint32 v) {
    const quint32 u = static_cast<quint32>(v);
    putU8(b, int(u >> 24));
    putU8(b, int(u >> 16));
    putU8(b, int(u >> 8));
    putU8(b, int(u));
}
inline void putF32le(QByteArray& b, float f) {
    quint32 u;
    std::memcpy(&u, &f, 4);
    putU8(b, int(u));
    putU8(b, int(u >> 8));
    putU8(b, int(u >> 16));
    putU8(b, int(u >> 24));
}

}  // namespace Field
