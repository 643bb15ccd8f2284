#pragma once
// Sits between the device and the wire and spoils the stream on purpose: frames with a wrong
// sum, frames stretched or cut to another length, bursts of random bytes between frames.
// Loader answers (single bytes) pass untouched.
#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <random>

struct FaultOptions {
    double badChecksumRate = 0;  // fraction of frames sent with a wrong sum
    int frameLength = 0;         // 4 to 255: every frame is sent with this length byte
    int garbageIntervalMs = 0;   // a burst of random bytes this often (0: never)
    int garbageSize = 120;       // bytes per burst
    quint32 seed = 1;
};

class FaultInjector {
public:
    using Options = FaultOptions;
    explicit FaultInjector(const Options& o = Options());

    std::function<void(const QByteArray& bytes, bool spoiled)> out;

    void frame(const QByteArray& unit);
    void advance(double nowMs);
    void corruptNext(int frames) { m_corruptNext += frames; }
    void garbageNow();

    [[nodiscard]] static bool isFrame(const QByteArray& unit);
    [[nodiscard]] static QByteArray withLength(const QByteArray& frame, int length);

private:
    Options m_o;
    std::mt19937 m_rng;
    int m_corruptNext = 0;
    double m_nextGarbage = -1;
};
