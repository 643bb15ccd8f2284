#pragma once
// A test bench for the simulated devices: it plays the host, hands the device its bytes and
// the time, and keeps what the device sends, without a terminal and without a clock.
#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QtGlobal>

#include "device.h"
#include "protocol/fields.h"
#include "protocol/frame.h"

namespace SimBench {

inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
inline QString text(const QByteArray& b) {
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

inline quint8 typeOf(const QByteArray& frame) {
    return static_cast<quint8>(frame[3]);
}
inline QByteArray payloadOf(const QByteArray& frame) {
    return frame.mid(4, frame.size() - 6);
}
// The frame as the receivers keep it in RxFrame: length byte first, checksum last.
inline QByteArray rxFrameOf(const QByteArray& frame) {
    return frame.mid(2, frame.size() - 3);
}

// sm16be field k (0-based, two bytes each) of a payload.
inline int sm(const QByteArray& payload, int k) {
    int v = 0;
    Field::sm16be(payload, 2 * k, &v);
    return v;
}

struct Bench {
    explicit Bench(Device& d) : device(d) {
        device.send = [this](const QByteArray& b) { sent.append({now, b}); };
    }
    struct Unit {
        double at;
        QByteArray bytes;
    };

    // The host writes bytes at the current time.
    void host(const QByteArray& bytes) { device.receive(bytes, now); }
    void host(quint8 type, const QByteArray& payload = {}) { host(Frame::build(type, payload)); }
    // Time passes in steps of the simulator's own timer.
    void run(double ms, double step = 2) {
        const double end = now + ms;
        while (now < end) {
            now = qMin(end, now + step);
            device.advance(now);
        }
    }
    // The units sent since the mark, and of one type.
    QList<QByteArray> since(qsizetype mark) const {
        QList<QByteArray> out;
        for (qsizetype i = mark; i < sent.size(); ++i) out.append(sent[i].bytes);
        return out;
    }
    QList<QByteArray> ofType(quint8 type, qsizetype mark = 0) const {
        QList<QByteArray> out;
        for (const QByteArray& u : since(mark))
            if (u.size() >= 6 && typeOf(u) == type) out.append(u);
        return out;
    }
    qsizetype mark() const { return sent.size(); }
    QByteArray stream(qsizetype mark = 0) const {
        QByteArray s;
        for (const QByteArray& u : since(mark)) s.append(u);
        return s;
    }

    Device& device;
    double now = 0;
    QList<Unit> sent;
};

// Random cuts of a stream into receive events, with a fixed seed.
inline QList<QByteArray> chunks(const QByteArray& stream, quint32 seed, int maxChunk) {
    QList<QByteArray> out;
    QRandomGenerator gen(seed);
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype n = qMin<qsizetype>(stream.size() - at, gen.bounded(1, maxChunk + 1));
        out.append(stream.mid(at, n));
        at += n;
    }
    return out;
}

}  // namespace SimBench
