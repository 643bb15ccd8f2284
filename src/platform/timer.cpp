#include "platform/timer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <vector>

// How a Timer's count-down is kept. start() begins a fresh count-down of ms (> 0) after
// which the timer ticks every ms until stop().
class TimerEngine {
public:
    explicit TimerEngine(Timer* timer) : m_timer(timer) {}
    virtual ~TimerEngine() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;

protected:
    void fire() { emit m_timer->tick(); }
    Timer* m_timer;
};

namespace {

// Real time: a QTimer. The QTimer has no parent so that a handler that deletes its Timer
// does not delete the QTimer while that QTimer is still emitting its timeout.
class RealEngine final : public TimerEngine {
public:
    explicit RealEngine(Timer* timer) : TimerEngine(timer), m_qtimer(new QTimer) {
        m_qtimer->setTimerType(Qt::PreciseTimer);
        m_clock.start();
        QObject::connect(m_qtimer, &QTimer::timeout, m_qtimer, [this] { onTimeout(); });
    }
    ~RealEngine() override {
        if (m_alive) *m_alive = false;
        m_qtimer->disconnect();
        m_qtimer->stop();
        if (m_firing)
            m_qtimer->deleteLater();
        else
            delete m_qtimer;
    }
    // The receive watchdog is restarted on every receive event, hundreds of times a second.
    // Re-registering a QTimer each time showed up in the profile, so a restart only moves the
    // deadline when the QTimer is already due no later than it: the early timeout then re-arms
    // for the rest of the count-down instead of ticking.
    void start(int ms) override {
        m_interval = ms;
        m_deadline = m_clock.elapsed() + ms;
        if (!m_qtimer->isActive() || m_armedUntil > m_deadline) arm(ms);
    }
    void stop() override { m_qtimer->stop(); }

private:
    void arm(qint64 ms) {
        m_armedUntil = m_clock.elapsed() + ms;
        m_qtimer->start(int(ms));
    }
    void onTimeout() {
        const qint64 now = m_clock.elapsed();
        if (m_deadline - now > 0) {  // restarted since it was armed: not due yet
            arm(m_deadline - now);
            return;
        }
        m_deadline = now + m_interval;
        if (m_qtimer->interval() != m_interval) {
            arm(m_interval);  // back to the cadence after a shortened first period
        } else {
            m_armedUntil = now + m_interval;
        }
        m_firing = true;
        bool alive = true;
        m_alive = &alive;
        fire();
        if (alive) {
            m_firing = false;
            m_alive = nullptr;
        }
    }

    QTimer* m_qtimer;
    QElapsedTimer m_clock;
    int m_interval = 0;
    qint64 m_deadline = 0;    // when the count-down ends, ms on m_clock
    qint64 m_armedUntil = 0;  // when the QTimer is due next
    bool m_firing = false;
    bool* m_alive = nullptr;
};

class VirtualEngine;

// One virtual clock per VirtualTime::install(); timers made under an earlier install keep
// theirs, which is never advanced again.
struct VirtualClock {
    struct Entry {
        VirtualEngine* engine;
        qint64 due;
        quint64 order;  // count-down start order, breaks ties between equal due times
    };
    qint64 now = 0;
    qint64 target = 0;
    bool advancing = false;
    quint64 nextOrder = 0;
    std::vector<Entry> entries;

    void schedule(VirtualEngine* e, qint64 due) {
        unschedule(e);
        entries.push_back({e, due, nextOrder++});
    }
    void unschedule(VirtualEngine* e) {
        std::erase_if(entries, [e](const Entry& x) { return x.engine == e; });
    }
    void advance(qint64 ms);
};

std::shared_ptr<VirtualClock> g_clock;

class VirtualEngine final : public TimerEngine {
public:
    VirtualEngine(Timer* timer, std::shared_ptr<VirtualClock> clock)
        : TimerEngine(timer), m_clock(std::move(clock)) {}
    ~VirtualEngine() override { m_clock->unschedule(this); }
    void start(int ms) override {
        m_period = ms;
        m_clock->schedule(this, m_clock->now + ms);
    }
    void stop() override { m_clock->unschedule(this); }

    int period() const { return m_period; }
    void fireTick() { fire(); }

private:
    std::shared_ptr<VirtualClock> m_clock;
    int m_period = 0;
};

void VirtualClock::advance(qint64 ms) {
    if (ms <= 0) return;
    if (advancing) {
        // Called from a tick handler: the running advance goes on that much further, so no
        // tick ever fires inside another one.
        target += ms;
        return;
    }
    advancing = true;
    target = now + ms;
    for (;;) {
        auto next = std::min_element(entries.begin(), entries.end(), [](auto& a, auto& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == entries.end() || next->due > target) break;
        VirtualEngine* engine = next->engine;
        now = next->due;
        // Re-armed before the handler runs, so that the handler may stop or re-time it.
        next->due = now + engine->period();
        next->order = nextOrder++;
        engine->fireTick();  // may delete the timer: nothing of it is touched afterwards
    }
    now = target;
    advancing = false;
}

}  // namespace

Timer::Timer(QObject* parent, int intervalMs) : QObject(parent), m_interval(qMax(0, intervalMs)) {
    if (g_clock)
        m_engine = std::make_unique<VirtualEngine>(this, g_clock);
    else
        m_engine = std::make_unique<RealEngine>(this);
}

Timer::~Timer() = default;

void Timer::setInterval(int ms) {
    m_interval = qMax(0, ms);
    restart();
}

void Timer::setEnabled(bool on) {
    if (on == m_enabled) return;
    m_enabled = on;
    restart();
}

// An interval of 0 keeps the timer silent while it stays enabled, as the desktop timer does.
void Timer::restart() {
    if (m_enabled && m_interval > 0)
        m_engine->start(m_interval);
    else
        m_engine->stop();
}

namespace VirtualTime {

void install() {
    g_clock = std::make_shared<VirtualClock>();
}

void uninstall() {
    g_clock.reset();
}

bool installed() {
    return g_clock != nullptr;
}

qint64 now() {
    return g_clock ? g_clock->now : 0;
}

void advance(qint64 ms) {
    if (!g_clock) {
        qWarning("VirtualTime::advance() without VirtualTime::install()");
        return;
    }
    // Keep the clock alive even if a handler uninstalls it.
    std::shared_ptr<VirtualClock> clock = g_clock;
    clock->advance(ms);
}

}  // namespace VirtualTime
