#include "graphics/attitude_indicator.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include "graphics/attitude_geometry.h"
#include "graphics/draw_attitude.h"
#include "graphics/horizon_image.h"
#include "protocol/number_text.h"

namespace {

// A painted widget is invisible to assistive tools unless it says what it shows; the value
// carries the angles of the last redraw.
class AttitudeAccessible : public QAccessibleWidget {
public:
    explicit AttitudeAccessible(AttitudeIndicator* w)
        : QAccessibleWidget(w, QAccessible::Graphic) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return static_cast<const AttitudeIndicator*>(widget())->valueText();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* attitudeAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("AttitudeIndicator") && object && object->isWidgetType())
        return new AttitudeAccessible(static_cast<AttitudeIndicator*>(object));
    return nullptr;
}

}  // namespace

AttitudeIndicator::AttitudeIndicator(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(attitudeAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    // The surface covers every pixel: nothing behind it needs repainting on each redraw.
    setAttribute(Qt::WA_OpaquePaintEvent);

    setObjectName(QStringLiteral("Piczitai"));
    setAccessibleName(QStringLiteral("姿态指示"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(Attitude::SurfaceWidth, Attitude::SurfaceHeight);
    m_picCol = Attitude::horizonImage().convertToFormat(QImage::Format_RGB32);
    m_surface = QImage(size(), QImage::Format_RGB32);
    redraw();
}

QSize AttitudeIndicator::sizeHint() const {
    return {Attitude::SurfaceWidth, Attitude::SurfaceHeight};
}

void AttitudeIndicator::Draw_attitude(const QString& bank, const QString& pitch) {
    m_bank = bank;
    m_pitch = pitch;
    redraw();
}

void AttitudeIndicator::redraw() {
    Attitude::Draw_attitude(m_surface, m_picCol, m_bank, m_pitch,
                            palette().color(QPalette::Window).rgb());
    const QString value = QStringLiteral("bank %1, pitch %2")
                              .arg(NumberText::plainNumber(Attitude::readNumber(m_bank)),
                                   NumberText::plainNumber(Attitude::readNumber(m_pitch)));
    if (value != m_valueText) {
        m_valueText = value;
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(this, value);
            QAccessible::updateAccessibility(&event);
        }
    }
    update();  // the refresh: the finished drawing becomes visible in one piece
}

void AttitudeIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
}

void AttitudeIndicator::resizeEvent(QResizeEvent*) {
    if (m_surface.size() == size()) return;
    m_surface = QImage(size(), QImage::Format_RGB32);
    redraw();
}
