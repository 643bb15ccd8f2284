#include "shell/control_sink.h"

#include <QLabel>
#include <QWidget>

#include "instruments/instrument_label.h"
#include "instruments/lamp.h"
#include "instruments/led_bar.h"
#include "instruments/thermometer.h"

void ControlSink::addControls(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty()) m_controls.insert(w->objectName(), w);
    }
}

void ControlSink::setText(const QString& control, const QString& text) {
    if (QWidget* w = m_controls.value(control)) m_texts.insert(w, text);
}

void ControlSink::setValue(const QString& control, double value) {
    if (QWidget* w = m_controls.value(control)) m_values.insert(w, value);
}

void ControlSink::toggle(const QString& control) {
    if (auto* lamp = qobject_cast<Lamp*>(m_controls.value(control))) ++m_toggles[lamp];
}

void ControlSink::flush() {
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it) {
        if (auto* label = qobject_cast<QLabel*>(it.key())) {
            label->setText(it.value());
        } else if (auto* big = qobject_cast<InstrumentLabel*>(it.key())) {
            big->setCaption(it.value());
        }
    }
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        if (auto* bar = qobject_cast<LedBar*>(it.key())) {
            bar->setValue(it.value());
        } else if (auto* t = qobject_cast<Thermometer*>(it.key())) {
            t->setValue(it.value());
        }
    }
    for (auto it = m_toggles.cbegin(); it != m_toggles.cend(); ++it) {
        if (it.value() % 2) it.key()->toggle();
    }
    m_texts.clear();
    m_values.clear();
    m_toggles.clear();
}
