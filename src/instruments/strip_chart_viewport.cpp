#include "instruments/strip_chart_viewport.h"

#include <algorithm>
#include <cmath>

namespace {
double clampSpan(double span) {
    if (!std::isfinite(span)) return StripChartViewport::kMaxSpan;
    return std::clamp(span, StripChartViewport::kMinSpan, StripChartViewport::kMaxSpan);
}
}  // namespace

void StripChartViewport::setTimeSpan(double span) {
    if (span > 0) m_span = clampSpan(span);
}

AxisRange StripChartViewport::timeRange(double origin, double newest) const {
    if (!m_following) return {m_left, m_left + m_span};
    const double right = std::max(newest, origin + m_span);
    return {right - m_span, right};
}

void StripChartViewport::zoomTime(double factor, double anchor, const AxisRange& shown) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const double span = clampSpan(shown.length() * factor);
    if (m_following) {
        m_span = span;
        return;
    }
    const double f = span / shown.length();
    m_left = anchor - (anchor - shown.from) * f;
    m_span = span;
}

void StripChartViewport::panTime(double delta, const AxisRange& shown) {
    if (!std::isfinite(delta)) return;
    m_following = false;
    m_span = clampSpan(shown.length());
    m_left = shown.from + delta;
}

void StripChartViewport::showTime(const AxisRange& range) {
    m_following = false;
    m_span = clampSpan(range.length());
    m_left = range.from;
}

void StripChartViewport::setValueRange(const AxisRange& range) {
    if (range.to > range.from && std::isfinite(range.from) && std::isfinite(range.to))
        m_value = range;
}

void StripChartViewport::zoomValue(double factor, double anchor, const AxisRange& shown) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const AxisRange zoomed{anchor - (anchor - shown.from) * factor,
                           anchor + (shown.to - anchor) * factor};
    // A range too narrow for float values to tell apart is not a useful view.
    if (!(zoomed.length() > 1e-6 * std::max(1.0, std::abs(anchor)))) return;
    m_autoValue = false;
    setValueRange(zoomed);
}

void StripChartViewport::panValue(double delta, const AxisRange& shown) {
    if (!std::isfinite(delta)) return;
    m_autoValue = false;
    setValueRange({shown.from + delta, shown.to + delta});
}

void StripChartViewport::followNewest() {
    m_following = true;
    m_autoValue = m_autoChosen;
}
