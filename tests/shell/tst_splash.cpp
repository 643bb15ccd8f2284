// The splash window Start: its exact fade (values and intervals on virtual time), the
// hand-over to the main window, and the click on the picture that skips the rest.
// Set TORVIK_SAVE_SPLASH_PNG=<dir> to keep a picture of the splash for a look.
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "platform/maker.h"
#include "platform/timer.h"
#include "shell/start.h"

namespace {
struct Step {
    int delay;  // ms after the previous opacity change (after activation for the first)
    int alpha;
};

QLabel* label(const Start& w, const char* name) {
    return w.findChild<QLabel*>(name);
}

// 25 .. 250 every 20 ms, 251 after the 800 ms hold, 230 .. 5 every 15 ms, 4 after 13 ms.
QList<Step> fullSequence() {
    QList<Step> s;
    for (int a = 25; a <= 250; a += 25) s.append({20, a});
    s.append({800, 251});
    for (int a = 230; a >= 5; a -= 25) s.append({15, a});
    s.append({13, 4});
    return s;
}
}  // namespace

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void init() { VirtualTime::install(); }
    void cleanup() { VirtualTime::uninstall(); }

    void fadesInHoldsAndFadesOut();
    void clickSkipsTheRest_data();
    void clickSkipsTheRest();
    void captionAndVersionTexts();
};

void TestSplash::fadesInHoldsAndFadesOut() {
    Start splash;
    QSignalSpy finished(&splash, &Start::finished);
    splash.Form_Activate();
    QVERIFY(splash.isHidden());

    const QList<Step> steps = fullSequence();
    QList<int> expected;
    for (const Step& s : steps) {
        expected.append(s.alpha);
        VirtualTime::advance(s.delay - 1);
        QCOMPARE(splash.appliedOpacities().size(), expected.size() - 1);
        QCOMPARE(finished.count(), 0);
        VirtualTime::advance(1);
        QCOMPARE(splash.appliedOpacities(), expected);
        QVERIFY(splash.isVisible() || s.alpha == 4);
        if (s.alpha != 4) QCOMPARE(splash.windowOpacity(), s.alpha / 255.0);
    }
    QCOMPARE(expected, QList<int>({25,  50,  75,  100, 125, 150, 175, 200, 225, 250, 251,
                                   230, 205, 180, 155, 130, 105, 80,  55,  30,  5,   4}));
    QCOMPARE(VirtualTime::now(), 1163);
    // The main window is shown right after the last value, and the splash is gone.
    QCOMPARE(finished.count(), 1);
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.Timer1.enabled());
    VirtualTime::advance(5000);
    QCOMPARE(splash.appliedOpacities().size(), expected.size());
    QCOMPARE(finished.count(), 1);
}

void TestSplash::clickSkipsTheRest_data() {
    QTest::addColumn<int>("at");       // ms after activation
    QTest::addColumn<int>("applied");  // opacities applied by then
    QTest::newRow("fading in") << 110 << 5;
    QTest::newRow("holding") << 600 << 10;
    QTest::newRow("fading out") << 1040 << 13;
}

void TestSplash::clickSkipsTheRest() {
    QFETCH(int, at);
    QFETCH(int, applied);
    Start splash;
    QSignalSpy finished(&splash, &Start::finished);
    splash.Form_Activate();
    VirtualTime::advance(at);
    QCOMPARE(splash.appliedOpacities().size(), applied);
    QVERIFY(splash.isVisible());
    const QList<int> before = splash.appliedOpacities();

    QTest::mouseClick(label(splash, "SplashPic"), Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!splash.isVisible());
    VirtualTime::advance(3000);
    QCOMPARE(splash.appliedOpacities(), before);
    QCOMPARE(finished.count(), 1);
}

void TestSplash::captionAndVersionTexts() {
    Start splash;
    QCOMPARE(splash.windowTitle(), QString("启动中....."));
    QCOMPARE(label(splash, "Label1")->text(), QString("当前版本：Torvik V 2.8"));
    QCOMPARE(label(splash, "Label2")->text(), "Powered By " + Maker::WebAddress);
    QCOMPARE(label(splash, "Label1")->geometry(), QRect(120, 176, 209, 17));
    QCOMPARE(label(splash, "Label2")->geometry(), QRect(120, 192, 225, 17));
    // The labels lie on the picture's lower part, where they can be read.
    const QRect pic = label(splash, "SplashPic")->geometry();
    QVERIFY(pic.contains(label(splash, "Label2")->geometry()));
    QVERIFY(!label(splash, "SplashPic")->pixmap().isNull());
    if (const QByteArray dir = qgetenv("TORVIK_SAVE_SPLASH_PNG"); !dir.isEmpty())
        splash.grab().save(QString("%1/splash.png").arg(QString(dir)));
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
