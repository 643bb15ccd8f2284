#pragma once
// A periodic report: due times on a fixed grid from its start, so that 120 Hz stays 120 Hz
// whatever the pace of the caller's timer.
#include <QtGlobal>

class Schedule {
public:
    void start(double hz, double nowMs) {
        m_period = hz > 0 ? 1000.0 / hz : 0;
        m_next = nowMs;
    }
    void stop() { m_period = 0; }
    bool running() const { return m_period > 0; }
    double period() const { return m_period; }
    // The time of the next report due by nowMs, if any; call until it returns false.
    [[nodiscard]] bool next(double nowMs, double* at) {
        if (m_period <= 0 || m_next > nowMs) return false;
        // After a stall (a suspended process) the reports start again from now rather than
        // pouring out every one that was missed.
        if (nowMs - m_next > 500.0) m_next = nowMs;
        *at = m_next;
        m_next += m_period;
        return true;
    }

private:
    double m_period = 0;
    double m_next = 0;
};
