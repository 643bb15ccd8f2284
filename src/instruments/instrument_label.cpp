#include "instruments/instrument_label.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kPadding = 3;
}

InstrumentLabel::InstrumentLabel(QWidget* parent, const QString& caption)
    : QWidget(parent), m_caption(caption) {
    installInstrumentAccessibility();
}

void InstrumentLabel::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    update();
    notifyReadingChanged(this, false);
    // A label's AT-SPI name is its text; keep that true for this one too.
    if (QAccessible::isActive() && accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void InstrumentLabel::setTextColor(const QColor& color) {
    m_text = color;
    update();
}

void InstrumentLabel::setBackgroundColor(const QColor& color) {
    m_background = color;
    update();
}

void InstrumentLabel::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

QFont InstrumentLabel::captionFont() const {
    QFont f = font();
    f.setBold(true);
    const int available = std::max(1, height() - 2 * kPadding);
    f.setPixelSize(std::max(6, available * 4 / 5));
    const int room = width() - 2 * kPadding;
    const int needed = QFontMetrics(f).horizontalAdvance(m_caption);
    if (needed > room && needed > 0) f.setPixelSize(std::max(6, f.pixelSize() * room / needed));
    return f;
}

void InstrumentLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_background.isValid()) p.fillRect(rect(), m_background);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(captionFont());
    p.setPen(m_text);
    p.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), int(m_alignment), m_caption);
}
