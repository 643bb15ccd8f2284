#pragma once
// How a receiver fuzzer cuts its input into receive events. The first input byte is the
// plan, the rest is the byte stream:
//   bits 0-5  0: the stream in one chunk; n: chunks of 1 to n*n/4+1 bytes (1: byte by byte)
//   bit 6     now and then a Reset() before a chunk, and callbacks that throw
//   bit 7     a target's own extra (the no-header counter reset, the upgrade hook)
// The chunk lengths and the actions come from a small generator seeded by the plan and the
// stream length, so one input always replays the same way.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

struct ChunkPlan {
    struct Step {
        QByteArray chunk;
        bool reset = false;   // Reset() before the chunk
        bool extra = false;   // the target's extra action before the chunk
        bool throws = false;  // callbacks throw while this chunk is fed
    };

    ChunkPlan(const uint8_t* data, size_t size) {
        if (size == 0) return;
        control = data[0];
        stream = QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
        state = control * 2654435761u ^ uint32_t(size);
    }

    // The next step, or false at the end of the stream.
    bool next(Step& step) {
        if (at >= stream.size()) return false;
        const uint32_t r = random();
        const int n = control & 0x3F;
        const qsizetype limit = n == 0 ? stream.size() : n * n / 4 + 1;
        const qsizetype len = qMin<qsizetype>(stream.size() - at, 1 + qsizetype((r >> 8) % limit));
        step.chunk = stream.mid(at, len);
        step.reset = (control & 0x40) && (r >> 20) % 8 == 0;
        step.throws = (control & 0x40) && (r >> 24) % 16 == 0;
        step.extra = (control & 0x80) && (r >> 28) % 2 == 0;
        at += len;
        return true;
    }

    uint8_t control = 0;
    QByteArray stream;

private:
    uint32_t random() {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    uint32_t state = 0;
    qsizetype at = 0;
};
