#include "instruments/led_bar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kSegmentPitch = 5;  // pixels per segment along the bar, gap included
constexpr int kSegmentGap = 1;
constexpr int kFrame = 2;

QString valueText(double v) {
    // Altitudes and channel widths read naturally with at most one decimal.
    return QString::number(std::round(v * 10) / 10, 'g', 12);
}
}  // namespace

LedBar::LedBar(QWidget* parent, Direction direction) : QWidget(parent), m_direction(direction) {
    installInstrumentAccessibility();
}

void LedBar::setDirection(Direction direction) {
    if (m_direction == direction) return;
    m_direction = direction;
    updateGeometry();
    update();
}

void LedBar::setRange(double minimum, double maximum) {
    if (!(maximum > minimum)) return;
    m_min = minimum;
    m_max = maximum;
    update();
    notifyReadingChanged(this, true);
}

void LedBar::setValue(double value) {
    if (value == m_value || std::isnan(value)) return;
    m_value = value;
    update();
    notifyReadingChanged(this, true);
}

void LedBar::setSections(double firstPercent, double secondPercent) {
    m_first = firstPercent;
    m_second = secondPercent;
    update();
}

void LedBar::setSectionColors(const QColor& low, const QColor& middle, const QColor& high) {
    m_low = low;
    m_middle = middle;
    m_high = high;
    update();
}

double LedBar::fillFraction() const {
    return std::clamp((m_value - m_min) / (m_max - m_min), 0.0, 1.0);
}

int LedBar::segmentCount() const {
    const int length = (isVertical() ? height() : width()) - 2 * kFrame;
    return std::max(1, (length + kSegmentGap) / kSegmentPitch);
}

int LedBar::litSegments() const {
    return int(std::floor(fillFraction() * segmentCount() + 0.5));
}

QSize LedBar::sizeHint() const {
    return isVertical() ? QSize(20, 150) : QSize(150, 20);
}

QString LedBar::readingText() const {
    return valueText(m_value);
}

std::optional<InstrumentValue> LedBar::readingValue() const {
    return InstrumentValue{m_value, m_min, m_max};
}

QColor LedBar::segmentColor(double position, bool lit) const {
    const double percent = position * 100;
    const QColor base = percent >= m_second ? m_high : percent >= m_first ? m_middle : m_low;
    return lit ? base : QColor(base.red() / 5, base.green() / 5, base.blue() / 5);
}

void LedBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 24, 24));
    p.setPen(QColor(90, 90, 90));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const int segments = segmentCount();
    const int lit = litSegments();
    const QRect inner = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
    // Spread the rounding remainder over the segments so the bar fills its whole length.
    const int length = isVertical() ? inner.height() : inner.width();
    for (int k = 0; k < segments; ++k) {
        const int from = k * (length + kSegmentGap) / segments;
        const int to = (k + 1) * (length + kSegmentGap) / segments - kSegmentGap;
        if (to <= from) continue;
        QRect r;
        switch (m_direction) {
            case Direction::Up:
                r = QRect(inner.left(), inner.bottom() + 1 - to, inner.width(), to - from);
                break;
            case Direction::Down:
                r = QRect(inner.left(), inner.top() + from, inner.width(), to - from);
                break;
            case Direction::Right:
                r = QRect(inner.left() + from, inner.top(), to - from, inner.height());
                break;
            case Direction::Left:
                r = QRect(inner.right() + 1 - to, inner.top(), to - from, inner.height());
                break;
        }
        p.fillRect(r, segmentColor((k + 0.5) / segments, k < lit));
    }
}
