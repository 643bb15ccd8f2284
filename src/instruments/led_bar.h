#pragma once
// A segmented LED bar: a value within a range lights the segments from the bar's base in its
// growth direction (up for the altitude bar, right for the PWM channels, left/up/down for
// the optical-flow cross). Segments change colour at two section marks, by default at 50 %
// and 75 % of the range (green, yellow, red). Values outside the range are kept and shown
// as an empty or a full bar.
#include <QColor>
#include <QWidget>

#include "instruments/instrument_reading.h"

class LedBar : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    enum class Direction { Up, Down, Left, Right };

    explicit LedBar(QWidget* parent = nullptr, Direction direction = Direction::Up);

    Direction direction() const { return m_direction; }
    void setDirection(Direction direction);
    bool isVertical() const {
        return m_direction == Direction::Up || m_direction == Direction::Down;
    }

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    // A range whose maximum is not above its minimum is refused.
    void setRange(double minimum, double maximum);

    double value() const { return m_value; }
    void setValue(double value);

    // Section marks in percent of the range; the colours of the three sections.
    void setSections(double firstPercent, double secondPercent);
    void setSectionColors(const QColor& low, const QColor& middle, const QColor& high);

    // The share of the bar that is lit, 0..1.
    double fillFraction() const;
    // Segments along the bar at the current size, and how many are lit.
    int segmentCount() const;
    int litSegments() const;

    QSize sizeHint() const override;

    QString readingText() const override;
    std::optional<InstrumentValue> readingValue() const override;
    QAccessible::Role readingRole() const override { return QAccessible::ProgressBar; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor segmentColor(double position, bool lit) const;

    Direction m_direction;
    double m_min = 0;
    double m_max = 100;
    double m_value = 0;
    double m_first = 50;
    double m_second = 75;
    QColor m_low{0, 230, 0};
    QColor m_middle{255, 220, 0};
    QColor m_high{255, 40, 40};
};
