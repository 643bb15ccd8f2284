#include "instruments/axis_ticks.h"

#include <array>
#include <cmath>

AxisTicks ticksWithStep(double lo, double hi, double step) {
    AxisTicks t;
    t.step = step;
    // A tick that lands a rounding error below `lo` still belongs to the range.
    const double eps = step * 1e-9;
    t.first = std::ceil((lo - eps) / step) * step;
    t.count = hi >= t.first - eps ? int(std::floor((hi - t.first + eps) / step)) + 1 : 0;
    t.decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
    return t;
}

double niceStep(double rawStep) {
    if (!(rawStep > 0) || !std::isfinite(rawStep)) return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rawStep)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * magnitude >= rawStep * (1 - 1e-9)) return m * magnitude;
    }
    return 10 * magnitude;
}

AxisTicks niceTicks(double lo, double hi, int maxTicks) {
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return {};
    return ticksWithStep(lo, hi, niceStep((hi - lo) / std::max(1, maxTicks)));
}

AxisTicks clockTicks(double lo, double hi, int maxTicks) {
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return {};
    static constexpr std::array<double, 17> kSteps = {
        1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200};
    const double raw = (hi - lo) / std::max(1, maxTicks);
    if (raw < 1) return ticksWithStep(lo, hi, niceStep(raw));
    for (const double s : kSteps) {
        if (s >= raw) {
            AxisTicks t = ticksWithStep(lo, hi, s);
            t.decimals = 0;
            return t;
        }
    }
    AxisTicks t = ticksWithStep(lo, hi, 86400 * niceStep(raw / 86400));
    t.decimals = 0;
    return t;
}

QString tickText(double value, int decimals) {
    // Rounding can leave -0.0, which would print as "-0".
    const double rounded = std::abs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
    return QString::number(rounded, 'f', decimals);
}

QString clockText(double seconds, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const qint64 ticksPerDay = qint64(86400 * scale);
    qint64 t = qint64(std::llround(seconds * scale)) % ticksPerDay;
    if (t < 0) t += ticksPerDay;
    const qint64 s = t / qint64(scale);
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(s / 3600, 2, 10, QLatin1Char('0'))
                       .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(s % 60, 2, 10, QLatin1Char('0'));
    if (decimals > 0)
        text += QLatin1Char('.') +
                QStringLiteral("%1").arg(t % qint64(scale), decimals, 10, QLatin1Char('0'));
    return text;
}
