#include "link/commset.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "instruments/titled_panel.h"
#include "link/combo_selection.h"
#include "link/link_ini.h"
#include "platform/profile_file.h"
#include "platform/serial_port.h"
#include "ui_commset.h"

namespace {

constexpr int TorvikPorts = 16;
// Vantor's list ends at 14, as the module tool always had it.
constexpr int VantorPorts = 14;

// The settings string is built by list position, so what the lists show and what the port
// gets cannot drift apart through a typed or translated entry text.
const std::array<const char*, 11> BaudByEntry = {
    "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000", "57600", "115200"};
const std::array<const char*, 4> DataBitsByEntry = {"5,", "6,", "7,", "8,"};
const std::array<const char*, 3> StopBitsByEntry = {"1", "1.5", "2"};

// What the load step and "默认值" select besides the port.
constexpr int Baud115200Entry = 10;
constexpr int DataBits8Entry = 3;
constexpr int StopBits1Entry = 0;

const QString LoadCaptionPrefix = QStringLiteral("Current Setting");
const QString OkCaptionPrefix = QStringLiteral("当前端口设置:");
const QString VantorLabel5 =
    QStringLiteral("  请选择Pellix 对应的串口号。否则将不能进行正常的数据接收");

template <std::size_t N>
QString entryText(const std::array<const char*, N>& table, int entry) {
    if (entry < 0 || entry >= int(N)) return {};
    return QString::fromLatin1(table[entry]);
}

}  // namespace

CommSet::CommSet(SerialPort& port, ProgramVariant variant, MessageLog showMsg, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CommSet>()),
      m_port(port),
      m_variant(variant),
      m_showMsg(std::move(showMsg)) {
    m_ui->setupUi(this);
    iPanelX1 = m_ui->iPanelX1;
    Label1 = m_ui->Label1;
    Combo1 = m_ui->Combo1;
    Label2 = m_ui->Label2;
    Combo2 = m_ui->Combo2;
    Label3 = m_ui->Label3;
    Combo3 = m_ui->Combo3;
    Label4 = m_ui->Label4;
    Combo4 = m_ui->Combo4;
    Label5 = m_ui->Label5;
    Command1 = m_ui->Command1;
    Com_set_O = m_ui->Com_set_O;
    Comm_set_C = m_ui->Comm_set_C;

    setModal(false);
    setFixedSize(size());
    if (m_variant == ProgramVariant::Vantor) {
        delete iPanelX1;
        iPanelX1 = nullptr;
        Label5->setText(VantorLabel5);
    }
    const int ports = m_variant == ProgramVariant::Vantor ? VantorPorts : TorvikPorts;
    for (int n = 1; n <= ports; ++n) Combo1->addItem(QStringLiteral("Com %1").arg(n));
    Combo1->setCurrentIndex(-1);
    for (QComboBox* combo : {Combo1, Combo2, Combo3, Combo4}) new ComboSelection(combo);

    connect(Command1, &QPushButton::clicked, this, &CommSet::Command1_Click);
    connect(Com_set_O, &QPushButton::clicked, this, &CommSet::Com_set_O_Click);
    connect(Comm_set_C, &QPushButton::clicked, this, &CommSet::Comm_set_C_Click);
}

CommSet::~CommSet() = default;

int CommSet::portCount() const {
    return Combo1->count();
}

ComboSelection* CommSet::selection(const QComboBox* combo) const {
    return combo->findChild<ComboSelection*>(QString(), Qt::FindDirectChildrenOnly);
}

int CommSet::listIndex(const QComboBox* combo) const {
    return selection(combo)->listIndex();
}

void CommSet::select(QComboBox* combo, int index) {
    selection(combo)->select(index);
}

QString CommSet::currentCaption(const QString& prefix) const {
    return prefix + QStringLiteral(" [ Com%1 %2 ]").arg(m_port.portNumber()).arg(m_port.settings());
}

void CommSet::Form_Load() {
    m_loaded = true;
    setWindowTitle(currentCaption(LoadCaptionPrefix));
    // A port number beyond the list (20 from a hand-edited file, or 15 and 16 written by
    // Torvik into a file Vantor shares) selects no entry rather than a wrong one.
    const int port = m_port.portNumber();
    select(Combo1, port >= 1 && port <= portCount() ? port - 1 : -1);
    // Always these three, not the port's current values, so that OK without changes puts the
    // link back on 115200,n,8,1.
    select(Combo2, Baud115200Entry);
    select(Combo3, DataBits8Entry);
    select(Combo4, StopBits1Entry);
}

void CommSet::Command1_Click() {
    if (!m_loaded) Form_Load();
    select(Combo1, 0);
    select(Combo2, Baud115200Entry);
    select(Combo3, DataBits8Entry);
    select(Combo4, StopBits1Entry);
}

QString CommSet::selectedSettings() const {
    return entryText(BaudByEntry, listIndex(Combo2)) + QStringLiteral(",n,") +
           entryText(DataBitsByEntry, listIndex(Combo3)) +
           entryText(StopBitsByEntry, listIndex(Combo4));
}

void CommSet::Com_set_O_Click() {
    if (!m_loaded) Form_Load();
    const QString file = LinkIni::file();
    // A refused number or string leaves the port as it was; the file is written from what the
    // port holds afterwards, so OSC.ini and the port never disagree.
    const int entry = listIndex(Combo1);
    if (entry >= 0) (void)m_port.setPortNumber(entry + 1);
    Write_ini(LinkIni::Section, LinkIni::PortKey, QString::number(m_port.portNumber()), file);
    (void)m_port.setSettings(selectedSettings());
    Write_ini(LinkIni::Section, LinkIni::SettingsKey, m_port.settings(), file);
    setWindowTitle(
        currentCaption(m_variant == ProgramVariant::Vantor ? LoadCaptionPrefix : OkCaptionPrefix));
    if (m_showMsg) m_showMsg(windowTitle());
    hide();
}

void CommSet::Comm_set_C_Click() {
    hide();
}

void CommSet::reject() {
    Comm_set_C_Click();
}

void CommSet::refreshPortTips() {
    // Devices come and go (a USB adapter plugged in while the program runs), so the tips are
    // looked up again at each showing.
    for (int i = 0; i < portCount(); ++i) {
        QString device = m_port.describe(i + 1);
        if (device.isEmpty()) device = QStringLiteral("本机没有对应的串口设备");
        Combo1->setItemData(i, device, Qt::ToolTipRole);
    }
}

void CommSet::showEvent(QShowEvent* event) {
    if (!m_loaded) Form_Load();
    refreshPortTips();
    QDialog::showEvent(event);
}

void CommSet::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (isHidden()) m_loaded = false;
}
