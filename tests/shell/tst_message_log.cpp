// The message log and the activity lamps: the counter line and the ">  " lines with CR LF,
// "Clear....", the 16-bit counter wrapping without stopping the log, the text box showing the
// same lines, and the lamps' off-timers on virtual time (a lamp stays lit while events come
// closer than its off time and goes out exactly that long after the last one).
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "platform/timer.h"
#include "shell/activity_lamp.h"
#include "shell/message_log.h"

using LampFactory = ActivityLamp* (*)(QObject*);
Q_DECLARE_METATYPE(LampFactory)

class TestMessageLog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { VirtualTime::install(); }
    void cleanupTestCase() { VirtualTime::uninstall(); }

    void firstLineHasTheCounter();
    void clearKeepsCountingWithoutCounterLine();
    void startUpEmptiesAndResets();
    void counterWrapsPast32767();
    void textBoxShowsTheLog();
    void lampTiming_data();
    void lampTiming();
    void messageLampFollowsTheLog();
};

void TestMessageLog::firstLineHasTheCounter() {
    QPlainTextEdit box;
    MessageLog log(&box);
    log.Show_msg("a");
    QCOMPARE(log.text(), QStringLiteral("1:  a"));
    log.Show_msg("b");
    QCOMPARE(log.text(), QStringLiteral("1:  a\r\n>  b"));
    QCOMPARE(box.toPlainText(), QStringLiteral("1:  a\n>  b"));
    QVERIFY(box.textCursor().atEnd());
    QCOMPARE(log.counter(), qint16(2));
}

void TestMessageLog::clearKeepsCountingWithoutCounterLine() {
    QPlainTextEdit box;
    MessageLog log(&box);
    log.Show_msg("a");
    log.Show_msg("b");
    log.clear();
    QCOMPARE(log.text(), QStringLiteral("Clear...."));
    QCOMPARE(box.toPlainText(), QStringLiteral("Clear...."));
    log.Show_msg("c");
    QCOMPARE(log.text(), QStringLiteral("Clear....\r\n>  c"));
    QCOMPARE(box.toPlainText(), QStringLiteral("Clear....\n>  c"));
    QVERIFY(box.textCursor().atEnd());
    QCOMPARE(log.counter(), qint16(3));
}

void TestMessageLog::startUpEmptiesAndResets() {
    QPlainTextEdit box;
    MessageLog log(&box);
    log.Show_msg("a");
    log.Show_msg("b");
    log.reset();
    QVERIFY(log.isEmpty());
    QVERIFY(box.toPlainText().isEmpty());
    log.Show_msg("x");
    QCOMPARE(log.text(), QStringLiteral("1:  x"));
    QCOMPARE(box.toPlainText(), QStringLiteral("1:  x"));
}

void TestMessageLog::counterWrapsPast32767() {
    MessageLog log(nullptr);
    for (int i = 0; i < 32767; ++i) log.Show_msg(QString());
    QCOMPARE(log.counter(), qint16(32767));
    log.Show_msg("wrapped");
    QCOMPARE(log.counter(), qint16(0));
    log.Show_msg("still logging");
    QCOMPARE(log.counter(), qint16(1));
    QVERIFY(log.text().startsWith(QStringLiteral("1:  \r\n>  \r\n")));
    QVERIFY(log.text().endsWith(QStringLiteral("\r\n>  wrapped\r\n>  still logging")));
    QCOMPARE(log.text().count(QStringLiteral("\r\n")), 32768);
}

void TestMessageLog::textBoxShowsTheLog() {
    QPlainTextEdit box;
    box.resize(400, 100);
    box.show();
    MessageLog log(&box);
    for (int i = 0; i < 500; ++i)
        log.Show_msg(i % 2 ? QStringLiteral("端口已关闭 ...")
                           : QStringLiteral("COM3--115200,n,8,1"));
    QCOMPARE(box.blockCount(), 500);
    QCOMPARE(box.toPlainText(), QString(log.text()).replace(QStringLiteral("\r\n"), "\n"));
    QVERIFY(box.textCursor().atEnd());
    // The newest line is scrolled into view.
    QVERIFY(box.verticalScrollBar()->maximum() > 0);
    QCOMPARE(box.verticalScrollBar()->value(), box.verticalScrollBar()->maximum());
    QVERIFY(!box.isUndoRedoEnabled());
}

// Five events `gap` ms apart, then silence: lit throughout, out `off` ms after the fifth.
void TestMessageLog::lampTiming_data() {
    QTest::addColumn<LampFactory>("factory");
    QTest::addColumn<QString>("timerName");
    QTest::addColumn<int>("off");
    QTest::addColumn<int>("gap");
    QTest::newRow("RXD, frames 100 ms apart") << &ActivityLamp::rxd << "Timer2" << 300 << 100;
    QTest::newRow("RXD, frames 299 ms apart") << &ActivityLamp::rxd << "Timer2" << 300 << 299;
    QTest::newRow("TXD re-triggered") << &ActivityLamp::txd << "Timer3" << 200 << 150;
    QTest::newRow("message lamp") << &ActivityLamp::message << "LED_Time" << 400 << 250;
}

void TestMessageLog::lampTiming() {
    QFETCH(LampFactory, factory);
    QFETCH(QString, timerName);
    QFETCH(int, off);
    QFETCH(int, gap);
    QObject window;
    ActivityLamp* lamp = factory(&window);
    QCOMPARE(lamp->offTimer()->objectName(), timerName);
    QCOMPARE(window.findChild<Timer*>(timerName), lamp->offTimer());
    QVERIFY(!lamp->lit());
    QVERIFY(!lamp->offTimer()->enabled());

    QSignalSpy spy(lamp, &ActivityLamp::litChanged);
    for (int i = 0; i < 5; ++i) {
        if (i) VirtualTime::advance(gap);
        lamp->light();
        QVERIFY(lamp->lit());
    }
    VirtualTime::advance(off - 1);
    QVERIFY(lamp->lit());
    VirtualTime::advance(1);
    QVERIFY(!lamp->lit());
    QVERIFY(!lamp->offTimer()->enabled());
    // Continuously lit: one switch on, one switch off.
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);

    // A later event lights it again for the full time.
    VirtualTime::advance(1000);
    lamp->light();
    VirtualTime::advance(off - 1);
    QVERIFY(lamp->lit());
    VirtualTime::advance(1);
    QVERIFY(!lamp->lit());
}

void TestMessageLog::messageLampFollowsTheLog() {
    QObject window;
    ActivityLamp* Msg_Led = ActivityLamp::message(&window);
    MessageLog log(nullptr, Msg_Led);
    log.Show_msg("a");
    QVERIFY(Msg_Led->lit());
    VirtualTime::advance(300);
    log.Show_msg("b");
    VirtualTime::advance(399);
    QVERIFY(Msg_Led->lit());
    VirtualTime::advance(1);
    QVERIFY(!Msg_Led->lit());
    // Clearing is not a message.
    log.clear();
    QVERIFY(!Msg_Led->lit());
}

QTEST_MAIN(TestMessageLog)
#include "tst_message_log.moc"
