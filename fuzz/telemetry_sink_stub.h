#pragma once
// A sink that takes every text and value the decoders produce, so their formatting runs too.
#include <QString>

#include "telemetry/telemetry_sink.h"

class SinkStub : public TelemetrySink {
public:
    void setText(const QString& control, const QString& text) override {
        m_chars += control.size() + text.size();
    }
    void setValue(const QString& control, double value) override {
        m_chars += control.size();
        m_last = value;
    }
    void toggle(const QString& control) override { m_chars += control.size(); }
    void imuRow(const ImuReadings& row) override { m_last = row.Pressure; }
    void motionRow(const MotionReadings& row) override { m_chars += row.rowText().size(); }

private:
    qsizetype m_chars = 0;
    double m_last = 0;
};
