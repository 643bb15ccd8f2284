#pragma once
// A background panel with a title bar ("信息显示"), holding child widgets. Its contents
// margins keep a layout's children below the title bar; children placed by geometry should
// start at contentsRect().top().
#include <QColor>
#include <QWidget>

#include "instruments/instrument_reading.h"

class TitledPanel : public QWidget, public InstrumentReading {
    Q_OBJECT
public:
    explicit TitledPanel(QWidget* parent = nullptr, const QString& title = {});

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    bool isTitleVisible() const { return m_titleVisible; }
    void setTitleVisible(bool visible);

    // The port dialog's panel has no border.
    bool hasBorder() const { return m_border; }
    void setBorder(bool border);

    void setPanelColor(const QColor& color);
    QColor panelColor() const { return m_panel; }

    int titleBarHeight() const;

    QSize sizeHint() const override { return {200, 100}; }

    QString readingText() const override { return m_title; }
    QAccessible::Role readingRole() const override { return QAccessible::Grouping; }
    QString readingDefaultName() const override { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateMargins();

    QString m_title;
    bool m_titleVisible = true;
    bool m_border = true;
    QColor m_panel{236, 236, 240};
};
