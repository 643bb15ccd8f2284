#include "instruments/switch_led.h"

#include <QPainter>

SwitchLed::SwitchLed(QWidget* parent, const QString& caption) : QAbstractButton(parent) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(QStringLiteral("off"));
}

void SwitchLed::setLit(bool lit) {
    if (lit == m_lit) return;
    m_lit = lit;
    setAccessibleDescription(lit ? QStringLiteral("on") : QStringLiteral("off"));
    update();
    emit litChanged(lit);
}

void SwitchLed::setLampColor(const QColor& color) {
    m_lampColor = color;
    update();
}

QSize SwitchLed::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text()) + 56, 41};
}

void SwitchLed::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(1, 1, -1, -1);
    const bool down = isDown();

    // Raised key; pressed, it sinks (darker, shading reversed).
    QLinearGradient face(body.topLeft(), body.bottomLeft());
    face.setColorAt(0, down ? QColor(150, 150, 155) : QColor(232, 232, 236));
    face.setColorAt(1, down ? QColor(200, 200, 205) : QColor(170, 170, 176));
    p.setPen(QPen(hasFocus() ? palette().color(QPalette::Highlight) : QColor(90, 90, 96), 1));
    p.setBrush(face);
    p.drawRoundedRect(body, 4, 4);

    // Lamp at the left, the caption beside it.
    const double d = std::min(body.height() - 12, 18.0);
    const QRectF lamp(body.left() + 10, body.center().y() - d / 2 + (down ? 1 : 0), d, d);
    const QColor off(m_lampColor.red() * 57 / 255, m_lampColor.green() * 57 / 255,
                     m_lampColor.blue() * 57 / 255);
    const QColor fill = m_lit ? m_lampColor : off;
    QRadialGradient glass(lamp.left() + d * 0.35, lamp.top() + d * 0.3, d * 0.8);
    glass.setColorAt(0, fill.lighter(m_lit ? 170 : 140));
    glass.setColorAt(1, fill);
    p.setPen(QPen(fill.darker(200), 1));
    p.setBrush(glass);
    p.drawEllipse(lamp);

    const QRectF textBox(lamp.right() + 8, body.top() + (down ? 1 : 0),
                         body.right() - lamp.right() - 12, body.height());
    p.setPen(isEnabled() ? QColor(20, 20, 20) : QColor(120, 120, 120));
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, text());
}
