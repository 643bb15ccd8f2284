#pragma once
// The two receivers' per-byte rules written out step by step, with none of the real
// receivers' speed-ups (a buffer that grows by one element per stored byte, the sum taken
// again at every tail, no bulk path), so a fuzzer can hold the real receivers against them on
// any stream, chunking and reset pattern.
#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

// G good frame (with its RxFrame), C checksum error, H header missing, O overlong, B a byte
// seen by the upgrade hook.
struct ReceiverEvent {
    char kind;
    QByteArray bytes;  // the RxFrame of a good frame
    int value = 0;     // the byte a hook saw
    bool operator==(const ReceiverEvent&) const = default;
};
using ReceiverEvents = std::vector<ReceiverEvent>;

inline void literalCheck(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "literal receiver: %s\n", what);
    std::abort();
}

inline quint8 literalSum(const QByteArray& buffer, int last) {
    unsigned sum = 0;
    for (int i = 0; i <= last; ++i) sum += static_cast<quint8>(buffer[i]);
    return static_cast<quint8>(sum);
}

class LiteralFrameReceiver {
public:
    ReceiverEvents events;

    void Reset() {
        inFrame = false;
        armed = false;
        stored = 0;
        expected = 0;
    }
    void ResetNoHeaderCounter() { noHeader = 0; }

    void Byte(quint8 b) {
        if (b == 0xAA && stored >= 1 && stored == expected - 1) {
            // The buffer holds exactly what the last store left in it.
            literalCheck(buffer.size() == stored, "buffer size differs from the stored count");
            if (literalSum(buffer, stored - 2) == static_cast<quint8>(buffer[stored - 1])) {
                inFrame = false;
                rxFrame = buffer;
                events.push_back({'G', rxFrame});
            } else {
                events.push_back({'C', {}});
                inFrame = false;
                stored = 0;
                expected = 0;
            }
            armed = false;
        }
        if (inFrame) {
            buffer.resize(stored + 1);
            buffer[stored] = static_cast<char>(b);
            if (stored == 0) expected = b;
            ++stored;
            if (stored > 100) {
                inFrame = false;
                armed = false;
            }
        }
        if (b == 0xA5) armed = true;
        if (b == 0x5A && armed) {
            noHeader = 0;
            inFrame = true;
            stored = 0;
            armed = false;
        }
        ++noHeader;
        if (noHeader > 100) {
            noHeader = 0;
            events.push_back({'H', {}});
        }
    }

private:
    QByteArray buffer, rxFrame;
    qint16 stored = 0;
    quint16 expected = 0;
    bool inFrame = false, armed = false;
    quint16 noHeader = 0;
};

class LiteralModuleFrameReceiver {
public:
    ReceiverEvents events;
    bool hook = false;  // the upgrade's byte hook is set

    void Reset() {
        position = 0;
        marker = 0;
        stored = 0;
        expected = 0;
        inFrame = false;
    }

    void Byte(quint8 b) {
        if (hook) events.push_back({'B', {}, b});
        if (b == 0xAA && stored >= 1 && stored == expected - 1) {
            literalCheck(buffer.size() == stored, "buffer size differs from the stored count");
            if (literalSum(buffer, stored - 2) == static_cast<quint8>(buffer[stored - 1])) {
                inFrame = false;
                rxFrame = buffer;
                events.push_back({'G', rxFrame});
            } else {
                events.push_back({'C', {}});
                inFrame = false;
                stored = 0;
                expected = 0;
            }
            position = 0;
            marker = 0;
        }
        if (inFrame) {
            buffer.resize(stored + 1);
            buffer[stored] = static_cast<char>(b);
            if (stored == 0) expected = b == 0xFF ? 2006 : b;
            ++stored;
            if (stored > 32760) {
                inFrame = false;
                stored = 0;
                expected = 0;
                position = 0;
                marker = 0;
                events.push_back({'O', {}});
            }
            ++position;
            if (position > 200) position = 0;
        }
        if (b == 0xA5) {
            ++position;
            marker = position;
        }
        if (b == 0x5A) {
            ++position;
            if (position == marker + 1) {
                inFrame = true;
                stored = 0;
            }
        }
    }

private:
    QByteArray buffer, rxFrame;
    qint16 stored = 0;
    qint16 expected = 0;
    bool inFrame = false;
    qint64 position = 0, marker = 0;
};
