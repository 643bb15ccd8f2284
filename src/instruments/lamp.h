#pragma once
// A two-state lamp: rectangle (the RXD/TXD activity lamps), round (the flight-controller
// groups) or diamond (the message lamp). Lit and unlit colours are settable; the unlit colour
// defaults to the lit colour dimmed to 57/255, so a red lamp goes out to RGB 57, 0, 0.
// An optional caption ("RXD") is drawn on a rectangular lamp and beside the other shapes.
#include <QColor>
#include <QWidget>

#include "instruments/instrument_reading.h"

class Lamp : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    enum class Shape { Rectangle, Round, Diamond };

    explicit Lamp(QWidget* parent = nullptr, Shape shape = Shape::Rectangle);

    Shape shape() const { return m_shape; }
    void setShape(Shape shape);

    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    // The flight-controller and IMU lamps blink by toggling on every frame.
    void toggle() { setLit(!m_lit); }

    QColor litColor() const { return m_litColor; }
    void setLitColor(const QColor& color);
    QColor unlitColor() const;
    // An invalid colour returns to the dimmed lit colour.
    void setUnlitColor(const QColor& color);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {8, 8}; }

    QString readingText() const override;
    std::optional<InstrumentValue> readingValue() const override;
    QAccessible::Role readingRole() const override { return QAccessible::Indicator; }
    QString readingDefaultName() const override { return m_caption; }

signals:
    void litChanged(bool lit);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape m_shape;
    bool m_lit = false;
    QColor m_litColor{0, 255, 0};
    QColor m_unlitColor;  // invalid: derived from the lit colour
    QString m_caption;
};
