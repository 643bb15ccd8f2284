// Torvik's main window driven as a user does: start-up, connect, frames arriving over the
// fake port in arbitrary chunks, the display tick, decay lists and channel visibility.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "instruments/lamp.h"
#include "instruments/strip_chart.h"
#include "instruments/switch_led.h"
#include "platform/fake_serial_port.h"
#include "platform/profile_file.h"
#include "platform/program_dir.h"
#include "shell/message_log.h"
#include "shell/osc.h"
#include "support_osc_frames.h"
#include "graphics/attitude_indicator.h"

class TestOsc : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<OSC> m_osc;
    FakeSerialPort* m_port = nullptr;

    QString label(const char* name) const {
        return m_osc->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    template <typename T>
    T* control(const char* name) const {
        T* w = m_osc->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    StripChart* chart() const { return control<StripChart>("iPlotX1"); }
    QStringList logLines() const { return m_osc->log().text().split(QStringLiteral("\r\n")); }

    // A started window with the port open and the open report done.
    void connectPort() {
        control<SwitchLed>("iSwitchLedX1")->click();
        VirtualTime::advance(200);
        QVERIFY(m_port->isOpen());
    }

private slots:
    void init() {
        VirtualTime::install();
        ProgramDir::setOverride(m_dir.path());
        QFile::remove(m_dir.filePath(QStringLiteral("OSC.ini")));
        auto port = std::make_unique<FakeSerialPort>();
        m_port = port.get();
        m_osc = std::make_unique<OSC>(std::move(port));
        m_osc->resize(1017, 640);
        VirtualTime::advance(200);  // StartUp
    }
    void cleanup() {
        m_osc.reset();
        ProgramDir::setOverride(QString());
        VirtualTime::uninstall();
    }

    void startUpLogsSixLinesAndLeavesThePortClosed() {
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("1:  Torvik V2.8 启动成功!"));
        QCOMPARE(lines[1], QStringLiteral(">  --------    开始    --------"));
        QCOMPARE(lines[4], QStringLiteral(">  --shop.kelvane.example--"));
        QCOMPARE(lines[5], QStringLiteral(">  最新版本的软件 到www.kelvane.example 下载"));
        QVERIFY(!m_port->isOpen());
        QVERIFY(!control<Lamp>("iLedRectangleX1")->isLit());
        QCOMPARE(label("Label29"), QStringLiteral("AX: 0.0 g"));
        QCOMPARE(label("Label34"), QStringLiteral("GZ: 0.0 dps"));
        QCOMPARE(control<QComboBox>("Combo2")->currentText(), QStringLiteral("1/100"));
        QCOMPARE(control<QComboBox>("Combo4")->currentText(), QStringLiteral("1/5"));
        QCOMPARE(m_osc->windowTitle(), QStringLiteral("Torvik www.kelvane.example"));
        VirtualTime::advance(1000);
        QCOMPARE(label("Label22"), QStringLiteral("0 帧每秒"));
    }

    void connectSwitchReportsTheOpenPort() {
        connectPort();
        QCOMPARE(control<SwitchLed>("iSwitchLedX1")->caption(), QStringLiteral("端口已打开"));
        QVERIFY(control<SwitchLed>("iSwitchLedX1")->isLit());
        const QStringList lines = logLines();
        QCOMPARE(lines.mid(6), (QStringList{QStringLiteral(">  正在打开端口 ..."),
                                            QStringLiteral(">  COM1--115200,n,8,1"),
                                            QStringLiteral(">  端口打开成功 ...")}));
    }

    void framesSplitOverReceiveEventsReachTheLabels_data() {
        QTest::addColumn<int>("chunk");
        QTest::newRow("whole") << 1000;
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("threes") << 3;
    }
    void framesSplitOverReceiveEventsReachTheLabels() {
        QFETCH(int, chunk);
        connectPort();
        const QByteArray stream = TestFrames::imu(900, -55, 300) + TestFrames::motion(1000, -2, 3);
        for (int i = 0; i < stream.size(); i += chunk) m_port->push(stream.mid(i, chunk));
        QVERIFY(m_osc->display_time.enabled());
        // The decoded texts are shown on the next display tick, all at once.
        VirtualTime::advance(40);
        QCOMPARE(label("Label16"), QStringLiteral("高度:12.3m"));
        QCOMPARE(label("Label17"), QStringLiteral("温度:25.1度"));
        QCOMPARE(label("Label18"), QStringLiteral("气压:101320Pa"));
        QCOMPARE(label("Label6"), QStringLiteral("Pitch:-5.5"));
        QCOMPARE(label("Label7"), QStringLiteral(" AX:1000"));
        QCOMPARE(label("Label8"), QStringLiteral(" AY:-2"));
        QVERIFY(control<Lamp>("iLedRectangleX1")->isLit());
        QCOMPARE(label("Label19"), QStringLiteral("航向:90.0"));
        QCOMPARE(label("Label21"), QStringLiteral("横滚:30.0"));
        QCOMPARE(control<AttitudeIndicator>("Piczitai")->valueText().contains(QStringLiteral("-30")), true);
    }

    void displayTickAddsAtMostOnePointPerFlag() {
        connectPort();
        for (int i = 0; i < 5; ++i) m_port->push(TestFrames::imu(10 * i, 0, 0));
        for (int i = 0; i < 3; ++i) m_port->push(TestFrames::motion(i, 0, 0));
        VirtualTime::advance(40);
        for (int ch = 0; ch < 12; ++ch) QCOMPARE(chart()->pointCount(ch), qint64(1));
        QCOMPARE(chart()->series(0).value(0), 4.0);  // the newest yaw, not the first
        VirtualTime::advance(40);  // no new frame: nothing added
        QCOMPARE(chart()->pointCount(0), qint64(1));
        m_port->push(TestFrames::imu(0, 0, 0));
        VirtualTime::advance(40);
        QCOMPARE(chart()->pointCount(0), qint64(2));
        QCOMPARE(chart()->pointCount(3), qint64(1));  // no motion frame since the last tick
    }

    void labelsShowTheNewestFrameOnEachTick() {
        connectPort();
        for (int alt = 10; alt <= 50; alt += 10) m_port->push(TestFrames::imu(0, 0, 0, alt));
        VirtualTime::advance(40);
        QCOMPARE(label("Label16"), QStringLiteral("高度:5.0m"));
        // Five toggles of the IMU lamp since the last tick: it ends up lit.
        QVERIFY(control<Lamp>("iLedRectangleX3")->isLit());
        m_port->push(TestFrames::imu(0, 0, 0, 70));
        VirtualTime::advance(40);
        QCOMPARE(label("Label16"), QStringLiteral("高度:7.0m"));
        QVERIFY(!control<Lamp>("iLedRectangleX3")->isLit());
    }

    void silenceStopsTheDisplayTick() {
        connectPort();
        m_port->push(TestFrames::imu(0, 0, 0));
        VirtualTime::advance(160);
        QVERIFY(m_osc->display_time.enabled());
        VirtualTime::advance(40);
        QVERIFY(!m_osc->display_time.enabled());
        VirtualTime::advance(2000);  // a second without frames shows 0
        QCOMPARE(label("Label22"), QStringLiteral("0 帧每秒"));
    }

    void decayListsDivideNewPoints_data() {
        QTest::addColumn<int>("combo");  // 2: accelerometer, 3: gyroscope, 4: magnetometer
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("channel");
        QTest::addColumn<double>("point");
        QTest::newRow("acc 1/10") << 2 << "1/10" << 3 << 100.0;
        QTest::newRow("gyro 1/100") << 3 << "1/100" << 6 << 10.0;
        QTest::newRow("mag 1/2") << 4 << "1/2" << 9 << 500.0;
        QTest::newRow("typed text plots undivided") << 2 << "7" << 3 << 1000.0;
    }
    void decayListsDivideNewPoints() {
        QFETCH(int, combo);
        QFETCH(QString, entry);
        QFETCH(int, channel);
        QFETCH(double, point);
        connectPort();
        QComboBox* c = m_osc->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(combo));
        const int index = c->findText(entry);
        if (index >= 0) c->setCurrentIndex(index);
        else c->setEditText(entry);
        m_port->push(TestFrames::motion(1000, 0, 0, 1000, 0, 0, 1000, 0, 0));
        VirtualTime::advance(40);
        QCOMPARE(chart()->series(channel).value(0), point);
    }

    void uncheckedGroupsHideTheirChannelsButKeepCollecting() {
        connectPort();
        control<QCheckBox>("Check3")->click();
        for (int ch = 6; ch < 9; ++ch) QVERIFY(!chart()->isChannelVisible(ch));
        QVERIFY(chart()->isChannelVisible(5));
        m_port->push(TestFrames::motion(1, 2, 3, 4, 5, 6));
        VirtualTime::advance(40);
        QCOMPARE(chart()->pointCount(7), qint64(1));
        control<QCheckBox>("Check3")->click();
        for (int ch = 6; ch < 9; ++ch) QVERIFY(chart()->isChannelVisible(ch));
    }

    void fiftyFramesASecondGiveFiftyFpsAndAtMostTwentyFivePoints() {
        connectPort();  // t = 400; Timer1 ticks at 1200, 2200, ...
        VirtualTime::advance(800);
        QCOMPARE(label("Label22"), QStringLiteral("0 帧每秒"));
        for (int i = 0; i < 50; ++i) {
            m_port->push(TestFrames::imu(i, 0, 0));
            VirtualTime::advance(20);
        }
        QCOMPARE(label("Label22"), QStringLiteral("50 帧每秒"));
        QCOMPARE(chart()->pointCount(0), qint64(25));
    }

    void resolutionsComeFromTheSettingsFile() {
        const QString ini = m_dir.filePath(QStringLiteral("OSC.ini"));
        Write_ini(QStringLiteral("COM"), QStringLiteral("ACC_Resolution"), QStringLiteral("8192abc"), ini);
        Write_ini(QStringLiteral("COM"), QStringLiteral("GYRO_Resolution"), QStringLiteral("0"), ini);
        m_osc->StartUp();
        QCOMPARE(m_osc->AccResolution, 8192.0);
        QCOMPARE(m_osc->GyroResolution, 32.8);  // 0 would divide every reading by zero
        connectPort();
        m_port->push(TestFrames::motion(4096, 0, 0, 328));
        VirtualTime::advance(40);
        QCOMPARE(label("Label29"), QStringLiteral("AX: 0.500 g"));
        QCOMPARE(label("Label32"), QStringLiteral("GX: 10.000 dps"));
    }

    void altitudeZeroButtonSendsOnlyWhenOpen() {
        control<QPushButton>("Command4")->click();
        QVERIFY(m_port->written().isEmpty());
        connectPort();
        control<QPushButton>("Command4")->click();
        QCOMPARE(m_port->written(), QByteArray::fromHex("A55A04E2E6AA"));
        QVERIFY(control<Lamp>("iLedRectangleX2")->isLit());
    }

    void badChecksumAndMissingHeaderAreLogged() {
        connectPort();
        QByteArray bad = TestFrames::imu(0, 0, 0);
        bad[bad.size() - 2] = char(bad[bad.size() - 2] + 1);
        m_port->push(bad);
        QVERIFY(logLines().last().endsWith(QStringLiteral("请检查连接线或更换转接器.")));
        m_port->push(QByteArray(101, '\x11'));
        QVERIFY(logLines().last().endsWith(QStringLiteral("3. 数据转换电路异常,不能可靠传送数据")));
    }

    // The widest texts the labels get must fit their boxes: a clipped reading is a wrong one.
    void widestReadingsFitTheirLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("acc g") << "Label29" << "AX: -1.999 g";
        QTest::newRow("gyro dps") << "Label32" << "GX: -999.085 dps";
        QTest::newRow("raw count") << "Label7" << " AX:-32767";
        QTest::newRow("heading") << "Label19" << "航向:-179.9";
        QTest::newRow("pressure") << "Label18" << "气压:101320Pa";
        QTest::newRow("altitude") << "Label16" << "高度:-999.9m";
        QTest::newRow("temperature") << "Label17" << "温度:-40.0度";
        QTest::newRow("solution rate") << "Label24" << "姿态解算:500 次每秒";
        QTest::newRow("frame rate") << "Label22" << "200 帧每秒";
        QTest::newRow("roll") << "Label5" << "Roll:-179.9";
        QTest::newRow("pitch") << "Label6" << "Pitch:-89.9";
    }
    void widestReadingsFitTheirLabels() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto* l = m_osc->findChild<QLabel*>(name);
        QVERIFY(l);
        QVERIFY2(l->fontMetrics().horizontalAdvance(text) <= l->contentsRect().width(),
                 qPrintable(QStringLiteral("%1 needs %2 px, has %3")
                                .arg(text)
                                .arg(l->fontMetrics().horizontalAdvance(text))
                                .arg(l->contentsRect().width())));
    }

    // Not an assertion: a picture of the window with live data for a person to look at.
    void screenshotWithLiveData() {
        const QByteArray dir = qgetenv("TORVIK_SCREENSHOTS");
        if (dir.isEmpty()) QSKIP("set TORVIK_SCREENSHOTS to a directory to save the picture");
        connectPort();
        for (int i = 0; i < 300; ++i) {
            const double t = i / 25.0;
            m_port->push(TestFrames::imu(int(1800 + 900 * std::sin(t / 3)), int(150 * std::sin(t)),
                                         int(250 * std::cos(t / 2)), 1234, 253, 10132, 200));
            m_port->push(TestFrames::motion(int(3000 * std::sin(t)), int(2000 * std::cos(t)), 16000,
                                            int(800 * std::cos(t * 2)), -300, 150, 300, -200,
                                            int(400 * std::sin(t / 2))));
            VirtualTime::advance(40);
        }
        m_osc->Timer1_Tick();
        m_osc->show();
        QVERIFY(m_osc->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/osc.png")));
    }
};

QTEST_MAIN(TestOsc)
#include "tst_osc.moc"
