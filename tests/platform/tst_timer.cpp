// Timer on virtual time: the order and moments of ticks when timers are started, re-timed,
// stopped and deleted, also from inside tick handlers; and the real time base underneath.
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QTest>
#include <map>
#include <memory>

#include "platform/timer.h"

namespace {

// Runs a little script against named timers and records "<time><name>" for every tick.
//   A=100   set A's interval (A is made on first use)    +A / -A   enable / disable A
//   >250    VirtualTime::advance(250)                    xA        delete A
//   A@2:-B,>50   when A ticks the 2nd time, its handler runs "-B" then ">50"
class Script {
public:
    QString run(const QString& text) {
        for (const QString& token : text.split(u' ', Qt::SkipEmptyParts)) {
            const qsizetype at = token.indexOf(u'@');
            if (at > 0) {
                const qsizetype colon = token.indexOf(u':');
                const int nth = token.mid(at + 1, colon - at - 1).toInt();
                m_rules[{token[0], nth}] = token.mid(colon + 1).split(u',');
            } else {
                act(token);
            }
        }
        return m_log.join(u' ');
    }
    bool nested() const { return m_nested; }

private:
    Timer* timer(QChar name) {
        auto& t = m_timers[name];
        if (!t) {
            t = std::make_unique<Timer>();
            QObject::connect(t.get(), &Timer::tick, [this, name] { onTick(name); });
        }
        return t.get();
    }
    void act(const QString& a) {
        if (a.startsWith(u'>')) {
            VirtualTime::advance(a.mid(1).toLongLong());
        } else if (a.startsWith(u'+') || a.startsWith(u'-')) {
            timer(a[1])->setEnabled(a[0] == u'+');
        } else if (a.startsWith(u'x')) {
            m_timers.erase(a[1]);
        } else if (a.size() > 2 && a[1] == u'=') {
            timer(a[0])->setInterval(a.mid(2).toInt());
        } else {
            qFatal("bad script token %s", qPrintable(a));
        }
    }
    void onTick(QChar name) {
        if (m_depth > 0) m_nested = true;
        ++m_depth;
        m_log << QString::number(VirtualTime::now()) + name;
        const auto rule = m_rules.find({name, ++m_ticks[name]});
        if (rule != m_rules.end())
            for (const QString& a : rule->second) act(a);
        --m_depth;
    }

    std::map<QChar, std::unique_ptr<Timer>> m_timers;
    std::map<std::pair<QChar, int>, QStringList> m_rules;
    std::map<QChar, int> m_ticks;
    QStringList m_log;
    int m_depth = 0;
    bool m_nested = false;
};

}  // namespace

class TimerTest : public QObject {
    Q_OBJECT
private slots:
    void init() { VirtualTime::install(); }
    void cleanup() { VirtualTime::uninstall(); }

    void virtualTicks_data();
    void virtualTicks();
    void freshInstallLeavesEarlierTimersBehind();
    void realTimeTicksAndSurvivesDeletionInHandler();
    void realTimeRestartsPostponeTheTick();
};

void TimerTest::virtualTicks_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<qint64>("endTime");

    QTest::newRow("periodic") << "A=100 +A >350"
                              << "100A 200A 300A" << 350LL;
    QTest::newRow("due several times in one advance, interleaved")
        << "A=30 B=50 +A +B >100"
        << "30A 50B 60A 90A 100B" << 100LL;
    QTest::newRow("equal due times fire in start order") << "B=50 A=50 +B +A >100"
                                                         << "50B 50A 100B 100A" << 100LL;
    QTest::newRow("advance in small steps") << "A=10 +A >5 >5 >4 >6 >25"
                                            << "10A 20A 30A 40A" << 45LL;
    QTest::newRow("exactly at the end of an advance") << "A=100 +A >100"
                                                      << "100A" << 100LL;
    QTest::newRow("disabled timer is silent") << "A=100 >500"
                                              << "" << 500LL;
    QTest::newRow("interval 0 is silent while enabled") << "A=0 +A >1000"
                                                        << "" << 1000LL;
    QTest::newRow("interval 0 then a real interval starts it") << "+A >50 A=20 >45"
                                                               << "70A 90A" << 95LL;
    QTest::newRow("same interval again restarts the count-down") << "A=100 +A >60 A=100 >60 >60"
                                                                 << "160A" << 180LL;
    QTest::newRow("new interval counts from now") << "A=100 +A >50 A=30 >40"
                                                  << "80A" << 90LL;
    QTest::newRow("enabling an enabled timer changes nothing") << "A=100 +A >60 +A >50"
                                                               << "100A" << 110LL;
    QTest::newRow("disable drops the pending tick, enable starts afresh")
        << "A=100 +A >60 -A +A >60 >50"
        << "160A" << 170LL;
    QTest::newRow("interval set while disabled starts nothing") << "A=100 >50 A=20 >100 +A >25"
                                                                << "170A" << 175LL;
    QTest::newRow("one-shot: handler disables itself") << "A@1:-A A=200 +A >1000"
                                                       << "200A" << 1000LL;
    QTest::newRow("handler re-times itself") << "A@1:A=30 A=100 +A >200"
                                             << "100A 130A 160A 190A" << 200LL;
    QTest::newRow("handler starts another: fires later, in order")
        << "A@1:+B A=100 B=30 +A >200"
        << "100A 130B 160B 190B 200A" << 200LL;
    QTest::newRow("handler stops a timer due at the same moment") << "A@1:-B A=50 B=50 +A +B >120"
                                                                  << "50A 100A" << 120LL;
    QTest::newRow("handler deletes a timer due at the same moment") << "A@1:xB A=50 B=50 +A +B >120"
                                                                    << "50A 100A" << 120LL;
    QTest::newRow("handler deletes its own timer") << "A@1:xA A=50 +A >200"
                                                   << "50A" << 200LL;
    QTest::newRow("handler deletes itself with another due in the same advance")
        << "A@2:xA A=10 B=25 +A +B >60"
        << "10A 20A 25B 50B" << 60LL;
    QTest::newRow("handler calling advance extends the running one")
        << "A@1:>50 A=100 B=120 +A +B >100"
        << "100A 120B" << 150LL;
}

void TimerTest::virtualTicks() {
    QFETCH(QString, script);
    QFETCH(QString, ticks);
    QFETCH(qint64, endTime);
    Script s;
    QCOMPARE(s.run(script), ticks);
    QCOMPARE(VirtualTime::now(), endTime);
    QVERIFY2(!s.nested(), "a tick fired inside another tick's handler");
}

// Each test installs its own clock; a window left over from an earlier test must not tick
// into the next one.
void TimerTest::freshInstallLeavesEarlierTimersBehind() {
    Timer old(nullptr, 100);
    old.setEnabled(true);
    QSignalSpy oldTicks(&old, &Timer::tick);
    VirtualTime::install();
    QCOMPARE(VirtualTime::now(), qint64(0));
    Timer fresh(nullptr, 100);
    fresh.setEnabled(true);
    QSignalSpy freshTicks(&fresh, &Timer::tick);
    VirtualTime::advance(300);
    QCOMPARE(freshTicks.count(), 3);
    QCOMPARE(oldTicks.count(), 0);
}

void TimerTest::realTimeTicksAndSurvivesDeletionInHandler() {
    VirtualTime::uninstall();
    QVERIFY(!VirtualTime::installed());
    auto* timer = new Timer(nullptr, 5);
    int ticks = 0;
    connect(timer, &Timer::tick, [&] {
        if (++ticks == 3) delete timer;
    });
    timer->setEnabled(true);
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 3, 5000);
    QTest::qWait(50);  // a deleted timer would tick again here, or crash
    QCOMPARE(ticks, 3);
}

// The receive watchdog on real time: restarted faster than its interval it never ticks, and it
// ticks one interval after the last restart, then keeps its cadence.
void TimerTest::realTimeRestartsPostponeTheTick() {
    VirtualTime::uninstall();
    Timer timer(nullptr, 200);
    QList<qint64> ticks;
    QElapsedTimer clock;
    clock.start();
    connect(&timer, &Timer::tick, [&] { ticks << clock.elapsed(); });
    timer.setEnabled(true);
    qint64 last = 0, longestGap = 0;
    while (clock.elapsed() < 600) {
        QTest::qWait(20);
        longestGap = qMax(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
        timer.setInterval(200);
    }
    if (longestGap >= 150) QSKIP("the machine was too busy to restart the timer in time");
    QVERIFY2(ticks.isEmpty(), "ticked while being restarted");
    QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 2, 5000);
    QVERIFY2(ticks[0] - last >= 195, qPrintable(QString::number(ticks[0] - last)));
    QVERIFY2(ticks[1] - ticks[0] >= 195, qPrintable(QString::number(ticks[1] - ticks[0])));
}

QTEST_GUILESS_MAIN(TimerTest)
#include "tst_timer.moc"
