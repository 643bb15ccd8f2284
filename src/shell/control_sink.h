#pragma once
// Where the decoders' texts and values go: the window's labels and instruments, found by
// their control names. Frames can come at hundreds a second, faster than anyone can read a
// label; repainting every label for every frame cost a third of a core at 400 frames/s. So
// a frame only records what each control is to show, and the display tick applies the newest
// of it at once (flush), like the chart and the attitude indicator.
#include <QHash>
#include <QString>

#include "telemetry/telemetry_sink.h"

class Lamp;
class QWidget;

class ControlSink : public TelemetrySink {
public:
    // Every named control below root can be addressed.
    void addControls(QWidget* root);

    void setText(const QString& control, const QString& text) override;
    void setValue(const QString& control, double value) override;
    void toggle(const QString& control) override;

    // Show what the frames since the last flush left for the controls.
    void flush();
    [[nodiscard]] bool pending() const {
        return !m_texts.isEmpty() || !m_values.isEmpty() || !m_toggles.isEmpty();
    }

private:
    QHash<QString, QWidget*> m_controls;
    QHash<QWidget*, QString> m_texts;
    QHash<QWidget*, double> m_values;
    QHash<Lamp*, int> m_toggles;  // toggles since the last flush; an even count changes nothing
};
