#pragma once
// A lamp that an event lights and that goes out by itself a fixed time after the last event:
// RXD (a good frame, Rec_LedON, Timer2 300 ms), TXD (a command sent, Send_LedON, Timer3
// 200 ms) and the message lamp (a line logged, LED_Time 400 ms). No widget: the window binds
// litChanged to whichever lamp control shows it.
#include <QObject>
#include <QString>

class Timer;

class ActivityLamp : public QObject {
    Q_OBJECT
public:
    static constexpr int RxdOffMs = 300;
    static constexpr int TxdOffMs = 200;
    static constexpr int MessageOffMs = 400;

    // The off-timer carries the window's timer name (objectName), so it is found like every
    // other timer of the window.
    ActivityLamp(const QString& timerName, int offAfterMs, QObject* parent = nullptr);

    // iLedRectangleX1, "RXD": lit by Rec_LedON.
    static ActivityLamp* rxd(QObject* parent) {
        return new ActivityLamp(QStringLiteral("Timer2"), RxdOffMs, parent);
    }
    // iLedRectangleX2, "TXD": lit by Send_LedON.
    static ActivityLamp* txd(QObject* parent) {
        return new ActivityLamp(QStringLiteral("Timer3"), TxdOffMs, parent);
    }
    // Msg_Led: lit by every logged line.
    static ActivityLamp* message(QObject* parent) {
        return new ActivityLamp(QStringLiteral("LED_Time"), MessageOffMs, parent);
    }

    // Light the lamp and (re)start the count-down: while events follow each other closer
    // than the off time the lamp stays lit, and it goes out that long after the last one.
    void light();
    bool lit() const { return m_lit; }
    Timer* offTimer() const { return m_timer; }

signals:
    void litChanged(bool lit);

private:
    void offTimer_Tick();
    void setLit(bool on);

    Timer* m_timer;
    int m_offAfterMs;
    bool m_lit = false;
};
