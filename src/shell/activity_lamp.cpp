#include "shell/activity_lamp.h"

#include "platform/timer.h"

ActivityLamp::ActivityLamp(const QString& timerName, int offAfterMs, QObject* parent)
    : QObject(parent), m_timer(new Timer(this)), m_offAfterMs(offAfterMs) {
    m_timer->setObjectName(timerName);
    connect(m_timer, &Timer::tick, this, &ActivityLamp::offTimer_Tick);
}

void ActivityLamp::light() {
    setLit(true);
    // Setting the interval of a running timer restarts its count-down; a stopped one is
    // given its interval and started.
    m_timer->setInterval(m_offAfterMs);
    m_timer->setEnabled(true);
}

void ActivityLamp::offTimer_Tick() {
    m_timer->setEnabled(false);
    setLit(false);
}

void ActivityLamp::setLit(bool on) {
    if (m_lit == on) return;
    m_lit = on;
    emit litChanged(on);
}
