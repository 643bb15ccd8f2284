#pragma once
// Byte streams for the receiver tests, and the ways of cutting them into receive events: a
// receiver must assemble the same frames whatever the port's chunking was.
#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace ReceiverFeed {

// "A5 5A 04" -> bytes (spaces are skipped).
inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

inline QByteArray run(int n, quint8 byte = 0x00) {
    return QByteArray(n, static_cast<char>(byte));
}

// A payload of n bytes none of which is 0xA5, 0x5A or 0xAA.
inline QByteArray plainPayload(int n) {
    QByteArray p;
    for (int i = 0; i < n; ++i) p.append(static_cast<char>((i * 7 + 1) & 0x3F));
    return p;
}

inline QString text(const QByteArray& b) {
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

struct Chunking {
    QString name;
    QList<qsizetype> sizes;
};

// All at once, one byte per event, and random cuts with fixed seeds (short, medium and long
// chunks).
inline QList<Chunking> chunkings(qsizetype total) {
    QList<Chunking> out;
    out.append({QStringLiteral("whole"), {total}});
    out.append({QStringLiteral("byte by byte"), QList<qsizetype>(total, 1)});
    const struct {
        quint32 seed;
        int maxChunk;
    } randoms[] = {{1, 3}, {2, 17}, {3, 300}};
    for (const auto& r : randoms) {
        QRandomGenerator gen(r.seed);
        Chunking c{QStringLiteral("random seed %1").arg(r.seed), {}};
        for (qsizetype left = total; left > 0;) {
            const qsizetype n = qMin<qsizetype>(left, gen.bounded(1, r.maxChunk + 1));
            c.sizes.append(n);
            left -= n;
        }
        out.append(c);
    }
    return out;
}

// Feeds the stream in the chunk sizes given; Reset() is called before the byte at each offset
// in resets (a chunk that spans such an offset is cut there).
template <class Receiver>
void feed(Receiver& rx, const QByteArray& stream, const QList<qsizetype>& sizes,
          const QList<int>& resets = {}) {
    qsizetype at = 0;
    auto nextReset = resets.cbegin();
    for (qsizetype size : sizes) {
        const qsizetype chunkEnd = at + size;
        while (at < chunkEnd) {
            while (nextReset != resets.cend() && *nextReset <= at) {
                if (*nextReset == at) rx.Reset();
                ++nextReset;
            }
            qsizetype stop = chunkEnd;
            if (nextReset != resets.cend() && *nextReset < stop) stop = *nextReset;
            rx.Feed(stream.mid(at, stop - at));
            at = stop;
        }
    }
    for (; nextReset != resets.cend(); ++nextReset) {
        if (*nextReset == at) rx.Reset();
    }
}

inline QString mismatch(const QString& chunking, const QStringList& got, const QStringList& want) {
    return QStringLiteral("chunking \"%1\"\n   got: [%2]\n  want: [%3]")
        .arg(chunking, got.join(QStringLiteral(" | ")), want.join(QStringLiteral(" | ")));
}

}  // namespace ReceiverFeed
