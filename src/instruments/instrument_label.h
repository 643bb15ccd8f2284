#pragma once
// A large-text readout ("25.1C"): the caption is drawn as big as the widget's height allows
// and shrunk to fit its width.
#include <QColor>
#include <QWidget>

#include "instruments/instrument_reading.h"

class InstrumentLabel : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    explicit InstrumentLabel(QWidget* parent = nullptr, const QString& caption = {});

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    void setTextColor(const QColor& color);
    QColor textColor() const { return m_text; }
    // An invalid colour leaves the background to the parent.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }

    void setAlignment(Qt::Alignment alignment);

    // The font the caption is drawn with at the current size.
    QFont captionFont() const;

    QSize sizeHint() const override { return {80, 32}; }

    QString readingText() const override { return m_caption; }
    QAccessible::Role readingRole() const override { return QAccessible::StaticText; }
    QString readingDefaultName() const override { return m_caption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_text{0, 255, 128};
    QColor m_background{16, 16, 16};
    Qt::Alignment m_alignment = Qt::AlignCenter;
};
