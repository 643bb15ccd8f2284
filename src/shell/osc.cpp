#include "shell/osc.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QImage>

#include "graphics/attitude_indicator.h"
#include "instruments/compass.h"
#include "instruments/lamp.h"
#include "instruments/strip_chart.h"
#include "instruments/switch_led.h"
#include "instruments/titled_panel.h"
#include "link/commset.h"
#include "link/link_ini.h"
#include "link/port_connection.h"
#include "platform/maker.h"
#include "platform/profile_file.h"
#include "platform/qt_serial_port.h"
#include "protocol/number_text.h"
#include "shell/activity_lamp.h"
#include "shell/message_log.h"
#include "shell/torvik_commands.h"
#include "telemetry/display_tick.h"
#include "telemetry/telemetry_decoder.h"
#include "ui_osc.h"

namespace {

constexpr quint8 TypeReportIMU = 0xA1;
constexpr quint8 TypeReportMotion = 0xA2;

struct ChannelStyle {
    const char* title;
    QColor color;
};
// Channel order of iPlotX1: attitude, accelerometer, gyroscope, magnetometer.
const ChannelStyle Channels[12] = {
    {"YAW", {255, 64, 64}},   {"Roll", {255, 215, 0}},   {"Pitch", {0, 0, 255}},
    {"Ax", {139, 69, 19}},    {"Ay", {255, 0, 255}},     {"Az", {72, 118, 255}},
    {"Gx", {151, 255, 255}},  {"Gy", {255, 255, 255}},   {"Gz", {0, 238, 0}},
    {"hx", {245, 204, 176}},  {"hy", {155, 88, 255}},    {"hz", {153, 240, 50}},
};

// Start-up selections of Combo1 ... Combo4: "1", "1/100", "1/100", "1/5".
constexpr int StartupDecay[4] = {0, 6, 6, 2};

// The colour the style fills a group box's inside with, read off a rendered one.
QColor groupBoxShade() {
    QGroupBox probe(QStringLiteral("x"));
    probe.resize(60, 60);
    QImage image(probe.size(), QImage::Format_ARGB32);
    image.fill(probe.palette().color(QPalette::Window));
    probe.render(&image);
    return image.pixelColor(30, 40);
}

}  // namespace

OSC::OSC(std::unique_ptr<SerialPort> port, QWidget* parent)
    : QMainWindow(parent),
      Timer6(this, 200),
      display_time(this, 40),
      Timer5(this, 100),
      Timer1(this, 1000),
      Timer_Getdata(this, 200),
      ui(std::make_unique<Ui::OSC>()),
      m_port(port ? std::move(port) : std::make_unique<QtSerialPort>()) {
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Torvik ") + Maker::WebAddress);
    Timer6.setObjectName(QStringLiteral("Timer6"));
    display_time.setObjectName(QStringLiteral("display_time"));
    Timer5.setObjectName(QStringLiteral("Timer5"));
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer_Getdata.setObjectName(QStringLiteral("Timer_Getdata"));
    m_port->setParent(nullptr);
    m_port->setObjectName(QStringLiteral("SerialPort"));

    m_rxd = ActivityLamp::rxd(this);
    m_txd = ActivityLamp::txd(this);
    m_msgLamp = ActivityLamp::message(this);
    m_log = std::make_unique<MessageLog>(ui->Text_msg, m_msgLamp);
    m_commands = std::make_unique<TorvikCommands>(*m_port, *m_log, *m_txd);

    PortConnection::Hooks hooks;
    hooks.showMsg = [this](const QString& t) { Show_msg(t); };
    hooks.setSwitchCaption = [this](const QString& t) { ui->iSwitchLedX1->setCaption(t); };
    hooks.setSwitchLit = [this](bool on) { ui->iSwitchLedX1->setLit(on); };
    hooks.resetReceiver = [this] { m_receiver.Reset(); };
    hooks.hideLabel1 = [this] { ui->Label1->hide(); };
    hooks.showSettingsDialog = [this] {
        commSet().show();
        commSet().raise();
    };
    hooks.received = [this](const QByteArray& bytes) { onReceived(bytes); };
    m_connection =
        std::make_unique<PortConnection>(*m_port, ProgramVariant::Torvik, std::move(hooks));

    m_receiver.onGoodFrame = [this] { onGoodFrame(); };
    m_receiver.onChecksumError = [this] {
        Show_msg(QStringLiteral("校验失败,数据包中存在误码字节,请检查连接线或更换转接器."));
    };
    m_receiver.onHeaderMissing = [this] {
        Show_msg(QStringLiteral("接收到的数据中,没有找到帧头 A5 5A .可能原因:"));
        Show_msg(QStringLiteral("1. 数据没有按协议发送,相关的协议说明，见本软件的压缩包内"));
        Show_msg(QStringLiteral("2. 选择错误的端口 或者错误的波特率"));
        Show_msg(QStringLiteral("3. 数据转换电路异常,不能可靠传送数据"));
    };

    setupControls();
    connectControls();

    // Window creation: the resolutions' defaults, then StartUp 200 ms later. The watchdog
    // runs from creation, so it fires once shortly after start.
    AccResolution = DefaultAccResolution;
    GyroResolution = DefaultGyroResolution;
    Timer6.setEnabled(true);
    Timer_Getdata.setEnabled(true);
}

OSC::~OSC() {
    // The dialog and the connection hold on to the port: they go first.
    delete m_commSet;
    m_connection.reset();
    m_port->close();
}

void OSC::setupControls() {
    ui->iLedRectangleX1->setCaption(QStringLiteral("RXD"));
    ui->iLedRectangleX1->setLitColor(QColor(0, 255, 0));
    ui->iLedRectangleX2->setCaption(QStringLiteral("TXD"));
    ui->iLedRectangleX2->setLitColor(QColor(255, 0, 0));
    ui->iLedRectangleX3->setLitColor(QColor(0, 255, 0));
    ui->Msg_Led->setShape(Lamp::Shape::Diamond);
    ui->Msg_Led->setLitColor(QColor(255, 0, 0));
    ui->Msg_Led->setUnlitColor(QColor(57, 0, 0));
    ui->Msg_Led->setAccessibleName(QStringLiteral("Msg_Led"));
    ui->iSwitchLedX1->setCaption(QStringLiteral("连接 AHRS"));
    ui->iPanelX1->setTitle(QStringLiteral("信息显示"));
    ui->iLedBarX1->setRange(0, 200);
    ui->iLedBarX1->setAccessibleName(QStringLiteral("高度"));
    ui->iThermometerX1->setRange(0, 50);
    ui->iThermometerX1->setAccessibleName(QStringLiteral("温度"));
    ui->iCompassX1->setAccessibleName(QStringLiteral("航向"));
    ui->Piczitai->setAccessibleName(QStringLiteral("姿态"));
    ui->picMain->hide();  // a caption box the module's 3-D view once used; nothing is drawn
    ui->Image1->setPixmap(windowIcon().pixmap(32, 32));

    StripChart* chart = ui->iPlotX1;
    chart->setChannelCount(12);
    for (int i = 0; i < 12; ++i) {
        chart->setChannelTitle(i, QString::fromLatin1(Channels[i].title));
        chart->setChannelColor(i, Channels[i].color);
    }
    chart->setBackgroundColor(QColor(84, 84, 84));
    chart->setAccessibleName(QStringLiteral("iPlotX1"));

    for (QComboBox* combo : {ui->Combo1, ui->Combo2, ui->Combo3, ui->Combo4}) {
        for (const char* entry : DisplayTick::DecayEntries) combo->addItem(QString::fromLatin1(entry));
        combo->setInsertPolicy(QComboBox::NoInsert);
    }

    m_controls.addControls(this);
    // Readings change 25 times a second. A transparent label or instrument makes its group
    // box (and every control overlapping it) repaint beneath it every time; one that fills
    // its own background repaints alone.
    // Inside a group box the style shades the background; the labels take that shade.
    const QColor frameShade = groupBoxShade();
    auto fillOwnBackground = [&](QWidget* w) {
        if (qobject_cast<QGroupBox*>(w->parentWidget())) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::Window, frameShade);
            w->setPalette(pal);
        }
        w->setAutoFillBackground(true);
    };
    for (QLabel* label : findChildren<QLabel*>()) fillOwnBackground(label);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->iCompassX1, ui->iThermometerX1, ui->iLedBarX1, ui->iLabelX1,
             ui->iLedRectangleX1, ui->iLedRectangleX2, ui->iLedRectangleX3, ui->Msg_Led})
        fillOwnBackground(w);
}

void OSC::connectControls() {
    connect(&Timer_Getdata, &Timer::tick, this, [this] {
        Timer_Getdata.setEnabled(false);
        StartUp();
    });
    connect(&Timer6, &Timer::tick, this, &OSC::Timer6_Tick);
    connect(&display_time, &Timer::tick, this, &OSC::display_time_Tick);
    connect(&Timer1, &Timer::tick, this, &OSC::Timer1_Tick);
    connect(m_rxd, &ActivityLamp::litChanged, ui->iLedRectangleX1, &Lamp::setLit);
    connect(m_txd, &ActivityLamp::litChanged, ui->iLedRectangleX2, &Lamp::setLit);
    connect(m_msgLamp, &ActivityLamp::litChanged, ui->Msg_Led, &Lamp::setLit);

    connect(ui->iSwitchLedX1, &QAbstractButton::clicked, m_connection.get(),
            &PortConnection::iSwitchLedX1_Click);
    connect(ui->com_set, &QAction::triggered, m_connection.get(), &PortConnection::com_set_Click);
    connect(ui->Command3, &QPushButton::clicked, m_log.get(), &MessageLog::clear);
    connect(ui->Command4, &QPushButton::clicked, this, [this] { m_commands->Send_high(); });
    connect(ui->Command6, &QPushButton::clicked, this, &OSC::Command6_Click);
    QCheckBox* checks[4] = {ui->Check1, ui->Check2, ui->Check3, ui->Check4};
    for (int g = 0; g < 4; ++g) {
        connect(checks[g], &QCheckBox::clicked, this, [this, g] { Check_Click(g); });
    }
    connect(ui->Help_F, &QAction::triggered, this, &OSC::Help_F_Click);
    connect(ui->About_P, &QAction::triggered, this, &OSC::About_P_Click);
    connect(ui->ExitC, &QAction::triggered, this, &OSC::ExitC_Click);
}

void OSC::Show_msg(const QString& text) { m_log->Show_msg(text); }

CommSet& OSC::commSet() {
    if (!m_commSet) {
        m_commSet = new CommSet(
            *m_port, ProgramVariant::Torvik, [this](const QString& t) { Show_msg(t); }, this);
    }
    return *m_commSet;
}

void OSC::StartUp() {
    m_state.MotionText = QString::fromLatin1(TelemetryState::StartupMotionText);
    m_receiver.ResetNoHeaderCounter();
    Timer1.setEnabled(true);
    QComboBox* combos[4] = {ui->Combo1, ui->Combo2, ui->Combo3, ui->Combo4};
    for (int g = 0; g < 4; ++g) combos[g]->setCurrentIndex(StartupDecay[g]);
    m_log->reset();
    // The port configuration reads Port and Settings from OSC.ini and may log a fallback
    // line, so it runs after the log is emptied.
    m_connection->ConfigurePort();
    readResolutions();
    ui->Piczitai->show();
    ui->Piczitai->Draw_attitude(QStringLiteral("0"), QStringLiteral("0"));
    QLabel* units[6] = {ui->Label29, ui->Label30, ui->Label31,
                        ui->Label32, ui->Label33, ui->Label34};
    static const char* const prefix[6] = {"AX: ", "AY: ", "AZ: ", "GX: ", "GY: ", "GZ: "};
    for (int i = 0; i < 6; ++i) {
        units[i]->setText(QString::fromLatin1(prefix[i]) + NumberText::oneDecimal(0) +
                          (i < 3 ? QStringLiteral(" g") : QStringLiteral(" dps")));
    }
    Show_msg(QStringLiteral("Torvik V2.8 启动成功!"));
    Show_msg(QStringLiteral("--------    开始    --------"));
    Show_msg(QStringLiteral("--1. 检查串口设备是否正确 --"));
    Show_msg(QStringLiteral("--2. 点击 打开端口按钮接收数据"));
    Show_msg(QStringLiteral("--") + Maker::ShopAddress + QStringLiteral("--"));
    Show_msg(QStringLiteral("最新版本的软件 到") + Maker::WebAddress + QStringLiteral(" 下载"));
}

void OSC::readResolutions() {
    // The resolutions sit beside the port choice, in OSC.ini's section COM.
    const QString file = LinkIni::file();
    const QString gyro = Read_ini(LinkIni::Section, QStringLiteral("GYRO_Resolution"), file);
    const QString acc = Read_ini(LinkIni::Section, QStringLiteral("ACC_Resolution"), file);
    if (gyro.isEmpty() || acc.isEmpty()) {
        GyroResolution = DefaultGyroResolution;
        AccResolution = DefaultAccResolution;
        return;
    }
    // The displays divide raw counts by the resolutions: a text that reads as 0 counts as
    // missing rather than turning every reading into infinity.
    const double g = NumberText::leadingNumber(gyro);
    const double a = NumberText::leadingNumber(acc);
    GyroResolution = g != 0 ? g : DefaultGyroResolution;
    AccResolution = a != 0 ? a : DefaultAccResolution;
}

void OSC::onReceived(const QByteArray& bytes) {
    Timer6.setEnabled(true);
    Timer6.setInterval(200);
    m_receiver.Feed(bytes);
}

void OSC::onGoodFrame() {
    m_rxd->light();
    if (!display_time.enabled()) display_time.setEnabled(true);
    const QByteArray& frame = m_receiver.RxFrame();
    // A fault in a decoder must not stop the receive handler: the remaining bytes of the
    // chunk are still processed.
    try {
        switch (static_cast<quint8>(frame.at(1))) {
        case TypeReportIMU:
            Decode_IMU(frame, m_state, &m_controls);
            m_state.ImuUpdated = true;
            break;
        case TypeReportMotion:
            Decode_Motion(frame, m_state, &m_controls);
            m_state.MotionUpdated = true;
            break;
        default:
            break;  // accepted and ignored
        }
    } catch (...) {
    }
}

void OSC::Timer6_Tick() {
    m_controls.flush();  // the last frames before the silence
    display_time.setEnabled(false);
    Timer6.setEnabled(false);
}

int OSC::decayIndex(int group) const {
    const QComboBox* combos[4] = {ui->Combo1, ui->Combo2, ui->Combo3, ui->Combo4};
    const QComboBox* c = combos[group];
    // Typed text selects no entry.
    if (c->currentIndex() < 0 || c->currentText() != c->itemText(c->currentIndex())) return -1;
    return c->currentIndex();
}

void OSC::display_time_Tick() {
    m_controls.flush();
    StripChart* chart = ui->iPlotX1;
    if (auto a = DisplayTick::takeAttitude(m_state, decayIndex(0))) {
        ui->Piczitai->Draw_attitude(a->bank, a->pitch);
        ui->iCompassX1->setValue(a->yaw);
        for (const auto& p : a->points) chart->addPoint(p.channel, p.value);
        ui->Label19->setText(a->Label19);
        ui->Label20->setText(a->Label20);
        ui->Label21->setText(a->Label21);
    }
    if (auto s = DisplayTick::takeSensors(m_state, decayIndex(1), decayIndex(2), decayIndex(3),
                                          AccResolution, GyroResolution)) {
        for (const auto& p : s->points) chart->addPoint(p.channel, p.value);
        QLabel* units[6] = {ui->Label29, ui->Label30, ui->Label31,
                            ui->Label32, ui->Label33, ui->Label34};
        for (int i = 0; i < 6; ++i) units[i]->setText(s->labels[i]);
    }
}

void OSC::Timer1_Tick() { ui->Label22->setText(DisplayTick::takeFrameRate(m_state)); }

void OSC::Check_Click(int group) {
    const QCheckBox* checks[4] = {ui->Check1, ui->Check2, ui->Check3, ui->Check4};
    const bool visible = checks[group]->isChecked();
    for (int ch = group * 3; ch < group * 3 + 3; ++ch) ui->iPlotX1->setChannelVisible(ch, visible);
}

void OSC::Command6_Click() { ui->iPlotX1->followNewest(); }

void OSC::Help_F_Click() {
    Show_msg(QStringLiteral("关于程序的通信协议，见压缩包的文件夹内或者发送邮件到作者的邮箱 ") +
             Maker::Email + QStringLiteral(" 免费索取"));
    Show_msg(QStringLiteral("二次开发请联系店主 ,") + Maker::ShopAddress);
}

void OSC::About_P_Click() {
    Show_msg(QStringLiteral(" 本程序为Pellix 专用，不对其他设备使用此软件产生的错误负责！"));
    Show_msg(QStringLiteral("二次开发请联系店主 ,") + Maker::ShopAddress);
}

void OSC::ExitC_Click() { close(); }

void OSC::closeEvent(QCloseEvent* event) {
    m_port->close();
    event->accept();
    // Every other window of the program ends with the main window.
    QApplication::closeAllWindows();
}
