#include "instruments/titled_panel.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr int kInset = 3;
}

TitledPanel::TitledPanel(QWidget* parent, const QString& title) : QWidget(parent), m_title(title) {
    installInstrumentAccessibility();
    updateMargins();
}

void TitledPanel::setTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    update();
    notifyReadingChanged(this, false);
}

void TitledPanel::setTitleVisible(bool visible) {
    if (visible == m_titleVisible) return;
    m_titleVisible = visible;
    updateMargins();
    update();
}

void TitledPanel::setBorder(bool border) {
    if (border == m_border) return;
    m_border = border;
    updateMargins();
    update();
}

void TitledPanel::setPanelColor(const QColor& color) {
    m_panel = color;
    update();
}

int TitledPanel::titleBarHeight() const {
    return m_titleVisible ? fontMetrics().height() + 6 : 0;
}

void TitledPanel::updateMargins() {
    const int edge = m_border ? kInset : 0;
    setContentsMargins(edge, titleBarHeight() + edge, edge, edge);
}

void TitledPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) updateMargins();
    QWidget::changeEvent(event);
}

void TitledPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_panel);
    if (m_titleVisible) {
        const QRect bar(0, 0, width(), titleBarHeight());
        QLinearGradient g(bar.topLeft(), bar.bottomLeft());
        g.setColorAt(0, QColor(92, 116, 160));
        g.setColorAt(1, QColor(56, 76, 118));
        p.fillRect(bar, g);
        p.setPen(Qt::white);
        p.drawText(bar.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, m_title);
    }
    if (m_border) {
        p.setPen(QColor(120, 120, 130));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
