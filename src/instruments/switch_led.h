#pragma once
// The connect switch: a push switch with a lamp and a caption. Pressing it emits clicked();
// it does not change its own lamp or caption, because those show the port's real state once
// the program has checked it ("端口已打开" with the lamp lit). Being a QAbstractButton, it is a
// pressable button to keyboard users and to AT-SPI (name = caption, action "Press"); its
// accessible description reads "on" or "off" with the lamp.
#include <QAbstractButton>
#include <QColor>

class SwitchLed : public QAbstractButton {
    Q_OBJECT
public:
    explicit SwitchLed(QWidget* parent = nullptr, const QString& caption = {});

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    bool isLit() const { return m_lit; }
    void setLit(bool lit);

    QColor lampColor() const { return m_lampColor; }
    void setLampColor(const QColor& color);

    QSize sizeHint() const override;

signals:
    void litChanged(bool lit);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_lit = false;
    QColor m_lampColor{255, 0, 0};
};
