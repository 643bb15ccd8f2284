#include "instruments/instrument_reading.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

class InstrumentAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    InstrumentAccessible(QWidget* widget, const InstrumentReading* reading)
        : QAccessibleWidget(widget, reading->readingRole()), m_reading(reading) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name: {
                if (!widget()->accessibleName().isEmpty()) return widget()->accessibleName();
                const QString fallback = m_reading->readingDefaultName();
                return fallback.isEmpty() ? widget()->objectName() : fallback;
            }
            case QAccessible::Description:
            case QAccessible::Value:
                return m_reading->readingText();
            default:
                return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface && m_reading->readingValue())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return field(&InstrumentValue::current); }
    // Instruments are driven by the program, not by the user.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return field(&InstrumentValue::maximum); }
    QVariant minimumValue() const override { return field(&InstrumentValue::minimum); }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    QVariant field(double InstrumentValue::*member) const {
        const auto v = m_reading->readingValue();
        return v ? QVariant((*v).*member) : QVariant();
    }

    const InstrumentReading* m_reading;
};

QAccessibleInterface* instrumentFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    // Answer only for the most derived class, so a subclass of an instrument that wants its
    // own accessible object can still get it through a later factory.
    if (className != QLatin1String(object->metaObject()->className())) return nullptr;
    auto* reading = dynamic_cast<const InstrumentReading*>(object);
    if (!reading) return nullptr;
    return new InstrumentAccessible(static_cast<QWidget*>(object), reading);
}

}  // namespace

void installInstrumentAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(instrumentFactory);
        return true;
    }();
    (void)installed;
}

void notifyReadingChanged(QWidget* widget, bool valueChanged) {
    if (!QAccessible::isActive()) return;
    if (valueChanged) {
        if (auto* reading = dynamic_cast<const InstrumentReading*>(widget)) {
            if (const auto v = reading->readingValue()) {
                QAccessibleValueChangeEvent event(widget, v->current);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
