#include "fault_injector.h"

#include "protocol/frame.h"

FaultInjector::FaultInjector(const Options& o) : m_o(o), m_rng(o.seed) {}

bool FaultInjector::isFrame(const QByteArray& unit) {
    return unit.size() >= 6 && static_cast<quint8>(unit[0]) == Frame::Header1 &&
           static_cast<quint8>(unit[1]) == Frame::Header2 &&
           static_cast<quint8>(unit[2]) + 2 == unit.size();
}

QByteArray FaultInjector::withLength(const QByteArray& frame, int length) {
    QByteArray payload = frame.mid(4, frame.size() - 6);
    payload.resize(qBound(0, length - 4, 251), '\0');
    return Frame::build(static_cast<quint8>(frame[3]), payload);
}

void FaultInjector::frame(const QByteArray& unit) {
    if (!isFrame(unit)) {
        if (out) out(unit, false);
        return;
    }
    QByteArray f = m_o.frameLength >= 4 ? withLength(unit, m_o.frameLength) : unit;
    bool spoil = false;
    if (m_corruptNext > 0) {
        --m_corruptNext;
        spoil = true;
    } else if (m_o.badChecksumRate > 0) {
        spoil = std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < m_o.badChecksumRate;
    }
    if (spoil) f[f.size() - 2] = static_cast<char>(f[f.size() - 2] + 1);
    if (out) out(f, spoil);
}

void FaultInjector::garbageNow() {
    QByteArray g(m_o.garbageSize, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& c : g) c = static_cast<char>(byte(m_rng));
    if (out) out(g, true);
}

void FaultInjector::advance(double nowMs) {
    if (m_o.garbageIntervalMs <= 0) return;
    if (m_nextGarbage < 0) m_nextGarbage = nowMs + m_o.garbageIntervalMs;
    if (nowMs < m_nextGarbage) return;
    m_nextGarbage = nowMs + m_o.garbageIntervalMs;
    garbageNow();
}
