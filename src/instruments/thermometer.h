#pragma once
// A thermometer: a tube with a bulb and a labelled scale; the column rises from the range's
// minimum to the value (clamped to the range when drawn; the value itself is kept).
#include <QColor>
#include <QWidget>

#include "instruments/instrument_reading.h"

class Thermometer : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    explicit Thermometer(QWidget* parent = nullptr);

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    // A range whose maximum is not above its minimum is refused.
    void setRange(double minimum, double maximum);

    double value() const { return m_value; }
    void setValue(double value);

    QColor columnColor() const { return m_column; }
    void setColumnColor(const QColor& color);

    // The tube's inside from the range's maximum (top) to its minimum (bottom), in widget
    // pixels; the column fills it from the bottom.
    QRect tubeRect() const;
    // The pixel row of the column's top for the current value.
    int columnTop() const;

    QSize sizeHint() const override { return {60, 180}; }

    QString readingText() const override;
    std::optional<InstrumentValue> readingValue() const override;
    QAccessible::Role readingRole() const override { return QAccessible::ProgressBar; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int bulbDiameter() const;

    double m_min = 0;
    double m_max = 50;
    double m_value = 0;
    QColor m_column{220, 30, 30};
};
