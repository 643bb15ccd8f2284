#pragma once
// Start, Torvik's splash window: the picture with the version texts fades in, holds for a
// moment, fades out and hands over to the main window. A click on the picture skips the rest.
//
// The window shows itself on the first tick of its animation: call Form_Activate() instead
// of show(), and show OSC from finished().
#include <QList>
#include <QWidget>
#include <memory>

#include "platform/timer.h"

namespace Ui {
class Start;
}

class Start : public QWidget {
    Q_OBJECT
public:
    explicit Start(QWidget* parent = nullptr);
    ~Start() override;

    const Ui::Start& form() const { return *ui; }

    // Window activation: alpha and step back to 0, fading in, Timer1 at 20 ms; the window
    // stays hidden until the first tick. Only the first activation starts the animation.
    void Form_Activate();

    // The whole-window opacity, 0 transparent .. 255 opaque. Always succeeds here.
    bool TranslucentForm(QWidget* window, quint8 alpha);
    // Every opacity TranslucentForm applied to this window, in order.
    const QList<int>& appliedOpacities() const { return m_applied; }

    // --- handlers ---
    void Timer1_Tick();
    void SplashPic_Click();

    Timer Timer1;  // animation tick; its interval is set by the animation

signals:
    // The splash is over (animation done or skipped): show OSC now. Emitted once, just
    // before the window closes.
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Phase : quint8 { FadeIn = 0, FadeOut = 1 };
    void handOver();

    std::unique_ptr<Ui::Start> ui;
    quint16 m_step = 0;  // ticks in the current phase
    quint8 m_alpha = 0;  // kept modulo 256, as the layered opacity is
    Phase m_phase = FadeIn;
    bool m_activated = false;
    bool m_done = false;
    QList<int> m_applied;
};
