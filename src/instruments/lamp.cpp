#include "instruments/lamp.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// A lamp that is off still shows its colour faintly, the way a real LED looks dark-red.
constexpr int kUnlitNumerator = 57;

QColor dimmed(const QColor& c) {
    return QColor(c.red() * kUnlitNumerator / 255, c.green() * kUnlitNumerator / 255,
                  c.blue() * kUnlitNumerator / 255);
}

QColor captionColorOn(const QColor& fill) {
    const int luma = (299 * fill.red() + 587 * fill.green() + 114 * fill.blue()) / 1000;
    return luma > 128 ? QColor(Qt::black) : QColor(Qt::white);
}
}  // namespace

Lamp::Lamp(QWidget* parent, Shape shape) : QWidget(parent), m_shape(shape) {
    installInstrumentAccessibility();
}

void Lamp::setShape(Shape shape) {
    if (m_shape == shape) return;
    m_shape = shape;
    update();
}

void Lamp::setLit(bool lit) {
    if (m_lit == lit) return;
    m_lit = lit;
    update();
    notifyReadingChanged(this, true);
    emit litChanged(m_lit);
}

void Lamp::setLitColor(const QColor& color) {
    m_litColor = color;
    update();
}

QColor Lamp::unlitColor() const {
    return m_unlitColor.isValid() ? m_unlitColor : dimmed(m_litColor);
}

void Lamp::setUnlitColor(const QColor& color) {
    m_unlitColor = color;
    update();
}

void Lamp::setCaption(const QString& caption) {
    if (m_caption == caption) return;
    m_caption = caption;
    updateGeometry();
    update();
}

QSize Lamp::sizeHint() const {
    if (m_caption.isEmpty()) return {16, 16};
    const int text = fontMetrics().horizontalAdvance(m_caption);
    return m_shape == Shape::Rectangle ? QSize(text + 12, 18) : QSize(text + 24, 18);
}

QString Lamp::readingText() const {
    return m_lit ? QStringLiteral("on") : QStringLiteral("off");
}

std::optional<InstrumentValue> Lamp::readingValue() const {
    return InstrumentValue{m_lit ? 1.0 : 0.0, 0.0, 1.0};
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fill = m_lit ? m_litColor : unlitColor();
    const QColor rim = fill.darker(170);

    QRectF body = QRectF(rect()).adjusted(1, 1, -1, -1);
    QRectF text;
    if (m_shape != Shape::Rectangle && !m_caption.isEmpty()) {
        const qreal side = qMin(body.height(), body.width());
        text = QRectF(body.left() + side + 4, body.top(), body.width() - side - 4, body.height());
        body = QRectF(body.left(), body.center().y() - side / 2, side, side);
    } else if (m_shape != Shape::Rectangle) {
        const qreal side = qMin(body.height(), body.width());
        body = QRectF(body.center().x() - side / 2, body.center().y() - side / 2, side, side);
    }

    // A light spot towards the top left gives the lamp its glass look when lit.
    QRadialGradient glass(body.left() + body.width() * 0.35, body.top() + body.height() * 0.3,
                          qMax(body.width(), body.height()) * 0.8);
    glass.setColorAt(0, m_lit ? fill.lighter(160) : fill.lighter(130));
    glass.setColorAt(1, fill);
    p.setPen(QPen(rim, 1));
    p.setBrush(glass);

    switch (m_shape) {
        case Shape::Rectangle:
            p.drawRoundedRect(body, 2, 2);
            break;
        case Shape::Round:
            p.drawEllipse(body);
            break;
        case Shape::Diamond: {
            QPainterPath path;
            path.moveTo(body.center().x(), body.top());
            path.lineTo(body.right(), body.center().y());
            path.lineTo(body.center().x(), body.bottom());
            path.lineTo(body.left(), body.center().y());
            path.closeSubpath();
            p.drawPath(path);
            break;
        }
    }

    if (m_caption.isEmpty()) return;
    if (m_shape == Shape::Rectangle) {
        p.setPen(captionColorOn(fill));
        p.drawText(body, Qt::AlignCenter, m_caption);
    } else {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, m_caption);
    }
}
