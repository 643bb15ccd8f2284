#pragma once
// One PID control loop of the flight controller.
#include <QtGlobal>

struct PidGains {
    float p = 0, i = 0, d = 0;
};

class PidLoop {
public:
    PidGains gains;
    // One step of dtS seconds; the output is limited as the mixer limits it.
    float update(double target, double current, double dtS) {
        const double error = target - current;
        m_integral = qBound(-IntegralLimit, m_integral + error * dtS, IntegralLimit);
        const double derivative = m_started ? (error - m_lastError) / dtS : 0.0;
        m_lastError = error;
        m_started = true;
        const double out = gains.p * error + gains.i * m_integral + gains.d * derivative;
        return static_cast<float>(qBound(-OutputLimit, out, OutputLimit));
    }
    void reset() {
        m_integral = 0;
        m_started = false;
    }

    static constexpr double IntegralLimit = 200;
    static constexpr double OutputLimit = 500;

private:
    double m_integral = 0;
    double m_lastError = 0;
    bool m_started = false;
};
