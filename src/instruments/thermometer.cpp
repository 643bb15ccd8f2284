#include "instruments/thermometer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "instruments/axis_ticks.h"

namespace {
constexpr int kTubeWidth = 8;
constexpr int kMargin = 4;
}  // namespace

Thermometer::Thermometer(QWidget* parent) : QWidget(parent) {
    installInstrumentAccessibility();
}

void Thermometer::setRange(double minimum, double maximum) {
    if (!(maximum > minimum)) return;
    m_min = minimum;
    m_max = maximum;
    update();
    notifyReadingChanged(this, true);
}

void Thermometer::setValue(double value) {
    if (value == m_value || std::isnan(value)) return;
    m_value = value;
    update();
    notifyReadingChanged(this, true);
}

void Thermometer::setColumnColor(const QColor& color) {
    m_column = color;
    update();
}

int Thermometer::bulbDiameter() const {
    return kTubeWidth * 2 + 2;
}

QRect Thermometer::tubeRect() const {
    const int half = fontMetrics().height() / 2;
    const int top = kMargin + half;
    const int bottom = height() - kMargin - bulbDiameter();
    const int left = std::min(width() / 3, 18) - kTubeWidth / 2 + 4;
    return QRect(left, top, kTubeWidth, std::max(1, bottom - top));
}

int Thermometer::columnTop() const {
    const QRect tube = tubeRect();
    const double f = std::clamp((m_value - m_min) / (m_max - m_min), 0.0, 1.0);
    return tube.bottom() + 1 - int(std::lround(f * tube.height()));
}

QString Thermometer::readingText() const {
    return QString::number(m_value, 'f', 1);
}

std::optional<InstrumentValue> Thermometer::readingValue() const {
    return InstrumentValue{m_value, m_min, m_max};
}

void Thermometer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect tube = tubeRect();
    const QColor glass(235, 235, 235);
    const QColor rim(110, 110, 110);

    // Tube and bulb outline, then the column, so the red runs without a seam into the bulb.
    const int d = bulbDiameter();
    const QRectF bulb(tube.center().x() - d / 2.0 + 0.5, tube.bottom() - 1, d, d);
    p.setPen(QPen(rim, 1));
    p.setBrush(glass);
    p.drawRoundedRect(QRectF(tube).adjusted(-1.5, -1.5, 1.5, 1.5), kTubeWidth / 2.0,
                      kTubeWidth / 2.0);
    p.drawEllipse(bulb);

    p.setPen(Qt::NoPen);
    p.setBrush(m_column);
    const int top = columnTop();
    p.drawRect(QRectF(tube.left(), top, tube.width(), tube.bottom() + 1 - top + 4));
    p.drawEllipse(bulb.adjusted(2, 2, -2, -2));

    // Scale to the right of the tube.
    p.setRenderHint(QPainter::Antialiasing, false);
    const int rows = std::max(2, tube.height() / (fontMetrics().height() + 2));
    const AxisTicks ticks = niceTicks(m_min, m_max, rows);
    p.setPen(palette().color(QPalette::WindowText));
    const int tickLeft = tube.right() + 4;
    for (int i = 0; i < ticks.count; ++i) {
        const double v = ticks.at(i);
        const int y =
            tube.bottom() + 1 - int(std::lround((v - m_min) / (m_max - m_min) * tube.height()));
        p.drawLine(tickLeft, y, tickLeft + 5, y);
        const QRect label(tickLeft + 8, y - fontMetrics().height() / 2, width() - tickLeft - 8,
                          fontMetrics().height());
        p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, tickText(v, ticks.decimals));
        // Minor tick half-way to the next label.
        if (i + 1 < ticks.count) {
            const int ym =
                tube.bottom() + 1 -
                int(std::lround((v + ticks.step / 2 - m_min) / (m_max - m_min) * tube.height()));
            p.drawLine(tickLeft, ym, tickLeft + 3, ym);
        }
    }
}
