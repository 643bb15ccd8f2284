#include "instruments/compass.h"

#include <QPixmap>

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {
constexpr double kNeedleShare = 0.62;  // needle length as a share of the dial radius
}

Compass::Compass(QWidget* parent) : QWidget(parent) {
    installInstrumentAccessibility();
}

void Compass::setValue(double degrees) {
    if (degrees == m_value || !std::isfinite(degrees)) return;
    m_value = degrees;
    update();
    notifyReadingChanged(this, true);
}

double Compass::heading() const {
    double h = std::fmod(m_value, 360.0);
    if (h < 0) h += 360.0;
    return h >= 360.0 ? 0.0 : h;
}

void Compass::setNeedleColor(const QColor& color) {
    m_needle = color;
    update();
}

QPointF Compass::dialCentre() const {
    return QRectF(rect()).center();
}

double Compass::dialRadius() const {
    return std::max(4.0, std::min(width(), height()) / 2.0 - 2);
}

QPointF Compass::pointAt(double degrees, double radius) const {
    const double a = degrees * std::numbers::pi / 180.0;
    // Screen y grows downwards, so 0 degrees (up) is -y and 90 degrees (right) is +x.
    return dialCentre() + QPointF(std::sin(a) * radius, -std::cos(a) * radius);
}

QPointF Compass::needleTip() const {
    return pointAt(heading(), dialRadius() * kNeedleShare);
}

QString Compass::readingText() const {
    return QString::number(heading(), 'f', 1);
}

std::optional<InstrumentValue> Compass::readingValue() const {
    return InstrumentValue{heading(), 0.0, 360.0};
}

void Compass::drawDial(QPainter& p, QPointF c, double r) const {
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient face(c, r);
    face.setColorAt(0, QColor(70, 70, 78));
    face.setColorAt(1, QColor(28, 28, 32));
    p.setPen(QPen(QColor(150, 150, 155), 2));
    p.setBrush(face);
    p.drawEllipse(c, r, r);

    QFont labelFont = font();
    labelFont.setPixelSize(std::max(7, int(r / 6)));
    p.setFont(labelFont);
    const double labelRadius = r * 0.74;
    for (int deg = 0; deg < 360; deg += 10) {
        const bool major = deg % 30 == 0;
        p.setPen(QPen(QColor(220, 220, 220), major ? 1.5 : 1));
        p.drawLine(pointAt(deg, r - 1), pointAt(deg, r - (major ? r * 0.14 : r * 0.07)));
        if (!major) continue;
        const bool cardinal = deg % 90 == 0;
        QFont f = labelFont;
        f.setBold(cardinal);
        p.setFont(f);
        p.setPen(cardinal ? QColor(255, 210, 60) : QColor(220, 220, 220));
        const QPointF at = pointAt(deg, labelRadius);
        const QRectF box(at.x() - r / 3, at.y() - r / 8, 2 * r / 3, r / 4);
        p.drawText(box, Qt::AlignCenter, QString::number(deg));
    }
}

void Compass::paintEvent(QPaintEvent*) {
    const QPointF c = dialCentre();
    const double r = dialRadius();
    // The dial only changes with the size; the heading moves 25 times a second, so the face,
    // scale and numbers are drawn once into a pixmap and only the needle each time.
    const qreal dpr = devicePixelRatioF();
    if (m_dial.size() != size() * dpr) {
        m_dial = QPixmap(size() * dpr);
        m_dial.setDevicePixelRatio(dpr);
        m_dial.fill(Qt::transparent);
        QPainter d(&m_dial);
        drawDial(d, c, r);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_dial);
    p.setRenderHint(QPainter::Antialiasing);

    // The needle: a red head towards the heading, a pale tail behind the hub.
    const double h = heading();
    const double len = r * kNeedleShare;
    const double half = std::max(2.0, r * 0.07);
    QPainterPath head;
    head.moveTo(pointAt(h, len));
    head.lineTo(pointAt(h + 90, half));
    head.lineTo(pointAt(h - 90, half));
    head.closeSubpath();
    QPainterPath tail;
    tail.moveTo(pointAt(h + 180, len * 0.55));
    tail.lineTo(pointAt(h + 90, half));
    tail.lineTo(pointAt(h - 90, half));
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 200, 205));
    p.drawPath(tail);
    p.setBrush(m_needle);
    p.drawPath(head);
    p.setBrush(QColor(40, 40, 40));
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.drawEllipse(c, half * 0.8, half * 0.8);
}
