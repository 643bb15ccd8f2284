#pragma once
// The desktop timer the windows are written against. Each timer runs on a time base: real
// (a QTimer underneath, the default) or virtual, where a test calls VirtualTime::advance(ms)
// and due ticks fire in time order, one at a time, never inside another handler.
#include <QObject>
#include <memory>

class TimerEngine;

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr, int intervalMs = 0);
    ~Timer() override;

    int interval() const { return m_interval; }
    // Restarts the count-down of an enabled timer. An interval of 0 keeps an enabled timer
    // silent, as the desktop timer does.
    void setInterval(int ms);
    bool enabled() const { return m_enabled; }
    // Enabling a disabled timer starts a fresh count-down; enabling an enabled one changes
    // nothing. Disabling drops a pending tick.
    void setEnabled(bool on);

signals:
    void tick();

private:
    friend class TimerEngine;
    void restart();
    int m_interval = 0;
    bool m_enabled = false;
    std::unique_ptr<TimerEngine> m_engine;
};

// Virtual time for tests. While installed, every Timer created afterwards runs on it.
namespace VirtualTime {
void install();    // start virtual time at 0
void uninstall();  // back to real time for timers created afterwards
bool installed();
qint64 now();  // milliseconds since install()
// Moves the clock forward by ms, firing every due tick in time order (ties: in the order
// the count-downs were started). A tick handler may start, stop, re-time or delete timers;
// a handler that calls advance() moves the end of the running advance further instead of
// firing anything inside itself.
void advance(qint64 ms);
}  // namespace VirtualTime
