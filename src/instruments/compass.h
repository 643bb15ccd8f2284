#pragma once
// A compass dial: 0 degrees at the top, 90 at the right, 180 at the bottom, 270 at the left
// (clockwise, as a heading). The needle points at the value; any value is accepted and read
// modulo 360, so a yaw of -90 points left.
#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include "instruments/instrument_reading.h"

class QPainter;

class Compass : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    explicit Compass(QWidget* parent = nullptr);

    double value() const { return m_value; }
    void setValue(double degrees);
    // The value folded into [0, 360).
    double heading() const;

    QColor needleColor() const { return m_needle; }
    void setNeedleColor(const QColor& color);

    QPointF dialCentre() const;
    double dialRadius() const;
    // The point at `degrees` on a circle of `radius` around the dial's centre.
    QPointF pointAt(double degrees, double radius) const;
    // Where the needle's tip is drawn.
    QPointF needleTip() const;

    QSize sizeHint() const override { return {137, 137}; }
    int heightForWidth(int w) const override { return w; }
    bool hasHeightForWidth() const override { return true; }

    QString readingText() const override;
    std::optional<InstrumentValue> readingValue() const override;
    QAccessible::Role readingRole() const override { return QAccessible::Dial; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawDial(QPainter& p, QPointF centre, double radius) const;
    double m_value = 0;
    QPixmap m_dial;  // face, scale and numbers at the current size
    QColor m_needle{230, 30, 30};
};
