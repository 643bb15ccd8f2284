// The port settings dialog: load-time caption and selections, OK with accepted and refused
// choices and the OSC.ini it writes, "默认值", "取消", later showings, ports beyond the list,
// the device tips and Vantor's variant. Offscreen, fake port, temporary program directory.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "instruments/titled_panel.h"
#include "link/commset.h"
#include "platform/fake_serial_port.h"
#include "platform/profile_file.h"
#include "platform/program_dir.h"

namespace {

// A port whose "Com N" entries resolve to the devices a test names.
class DescribedPort : public FakeSerialPort {
public:
    QStringList devices;
    QString describe(int n) const override {
        return devices.value(n - 1, QStringLiteral("不存在"));
    }
};

struct Fixture {
    explicit Fixture(ProgramVariant variant = ProgramVariant::Torvik) {
        ProgramDir::setOverride(dir.path());
        (void)port.setPortNumber(3);
        (void)port.setSettings(QStringLiteral("9600,n,8,1"));
        dialog = std::make_unique<CommSet>(port, variant, [this](const QString& t) { log << t; });
    }
    ~Fixture() { ProgramDir::setOverride(QString()); }

    QString ini(const QString& key) const {
        return Read_ini(QStringLiteral("COM"), key, ProgramDir::file(QStringLiteral("OSC.ini")));
    }
    bool iniExists() const { return QFile::exists(ProgramDir::file(QStringLiteral("OSC.ini"))); }

    QTemporaryDir dir;
    DescribedPort port;
    QStringList log;
    std::unique_ptr<CommSet> dialog;
};

// Picks an entry with the arrow keys, as a user does on a closed list.
void pick(QComboBox* combo, const QString& entry) {
    const int index = combo->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    if (combo->currentIndex() == index)  // step away and back, so the pick is a real one
        QTest::keyClick(combo, index > 0 ? Qt::Key_Up : Qt::Key_Down);
    while (combo->currentIndex() != index)
        QTest::keyClick(combo, combo->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
}

// Picks an entry from the open drop-down list.
void pickFromPopup(QComboBox* combo, const QString& entry) {
    const int index = combo->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    view->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!view->isVisible());
}

// Types over the field and confirms with Enter.
void type(QComboBox* combo, const QString& text) {
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), text);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
}

// "" leaves the combo alone; "type:xyz" types xyz; "list:xyz" picks xyz from the drop-down
// list; anything else is an entry picked with the keys. Steps are separated by "|".
void choose(QComboBox* combo, const QString& steps) {
    if (steps.isEmpty()) return;
    for (const QString& step : steps.split(u'|')) {
        if (step.startsWith(QLatin1String("type:")))
            type(combo, step.mid(5));
        else if (step.startsWith(QLatin1String("list:")))
            pickFromPopup(combo, step.mid(5));
        else
            pick(combo, step);
    }
}

QStringList entries(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
    return list;
}

QStringList portEntries(int n) {
    QStringList list;
    for (int i = 1; i <= n; ++i) list << QStringLiteral("Com %1").arg(i);
    return list;
}

const QString TorvikLabel5 = QStringLiteral(
    "  请选择Pellix 对应的串口号。否则将不能进行正常的数据接收,请选择低于16号的端口。"
    "或者从任务管理器中强制改变端口号");

}  // namespace

class TestCommSet : public QObject {
    Q_OBJECT
private slots:
    void controls();
    void firstShowing();
    void ok_data();
    void ok();
    void defaultsThenCancel();
    void laterShowings();
    void portBeyondList_data();
    void portBeyondList();
    void vantor();
    void deviceTips();
    void nothingClipped_data();
    void nothingClipped();
};

void TestCommSet::controls() {
    Fixture f;
    CommSet& d = *f.dialog;
    QCOMPARE(d.windowTitle(), QStringLiteral("OSC ComPort"));  // until it is shown
    QCOMPARE(d.Label1->text(), QStringLiteral("串口号"));
    QCOMPARE(d.Label2->text(), QStringLiteral("波特率"));
    QCOMPARE(d.Label3->text(), QStringLiteral("数据位数"));
    QCOMPARE(d.Label4->text(), QStringLiteral("停止位"));
    QCOMPARE(d.Label5->text(), TorvikLabel5);
    QCOMPARE(d.Command1->text(), QStringLiteral("默认值"));
    QCOMPARE(d.Com_set_O->text(), QStringLiteral("确定"));
    QCOMPARE(d.Comm_set_C->text(), QStringLiteral("取消"));
    QVERIFY(d.iPanelX1);
    QCOMPARE(d.iPanelX1->title(), QStringLiteral("端口设置"));
    QCOMPARE(d.iPanelX1->size(), QSize(321, 273));
    QVERIFY(!d.iPanelX1->hasBorder());
    QCOMPARE(entries(d.Combo1), portEntries(16));
    QCOMPARE(entries(d.Combo2), (QStringList{"600", "1200", "2400", "4800", "9600", "14400",
                                             "19200", "38400", "56000", "57600", "115200"}));
    QCOMPARE(entries(d.Combo3), (QStringList{"5 bits", "6 bits", "7 bits", "8 bits"}));
    QCOMPARE(entries(d.Combo4), (QStringList{"1 bit", "1.5 bits", "2 bits"}));
    for (QComboBox* c : {d.Combo1, d.Combo2, d.Combo3, d.Combo4}) QVERIFY(c->isEditable());
    for (QWidget* w : std::initializer_list<QWidget*>{d.Label1, d.Combo1, d.Label5, d.Command1,
                                                      d.Com_set_O, d.Comm_set_C})
        QCOMPARE(w->objectName().isEmpty(), false);
    QCOMPARE(d.Combo1->objectName(), QStringLiteral("Combo1"));
    QCOMPARE(d.Com_set_O->objectName(), QStringLiteral("Com_set_O"));

    // Modeless: show() returns at once and the owner stays usable.
    d.show();
    QVERIFY(d.isVisible());
    QVERIFY(!d.isModal());
    QCOMPARE(d.windowModality(), Qt::NonModal);
}

void TestCommSet::firstShowing() {
    Fixture f;
    CommSet& d = *f.dialog;
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("Current Setting [ Com3 9600,n,8,1 ]"));
    QCOMPARE(d.listIndex(d.Combo1), 2);
    QCOMPARE(d.Combo1->currentText(), QStringLiteral("Com 3"));
    // Always 115200, 8 bits, 1 bit at load, not what the port runs at.
    QCOMPARE(d.Combo2->currentText(), QStringLiteral("115200"));
    QCOMPARE(d.listIndex(d.Combo2), 10);
    QCOMPARE(d.Combo3->currentText(), QStringLiteral("8 bits"));
    QCOMPARE(d.Combo4->currentText(), QStringLiteral("1 bit"));
    QVERIFY(f.log.isEmpty());
    QVERIFY(!f.iniExists());
}

void TestCommSet::ok_data() {
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("portChoice");
    QTest::addColumn<QString>("baudChoice");
    QTest::addColumn<QString>("dataChoice");
    QTest::addColumn<QString>("stopChoice");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("settings");

    // The port starts as COM3 at 9600,n,8,1.
    QTest::newRow("Com 7 9600 7 bits 2 bits") << false << "Com 7"
                                              << "9600"
                                              << "7 bits"
                                              << "2 bits" << 7 << "9600,n,7,2";
    QTest::newRow("no change switches to 115200") << false << ""
                                                  << ""
                                                  << ""
                                                  << "" << 3 << "115200,n,8,1";
    QTest::newRow("Com 16 600 5 bits 1.5 bits") << false << "Com 16"
                                                << "600"
                                                << "5 bits"
                                                << "1.5 bits" << 16 << "600,n,5,1.5";
    QTest::newRow("typed baud keeps settings") << false << "Com 5"
                                               << "type:250000"
                                               << ""
                                               << "" << 5 << "9600,n,8,1";
    // Typed text selects no entry even when it reads like one.
    QTest::newRow("typed baud equal to an entry") << false << ""
                                                  << "type:19200"
                                                  << "6 bits"
                                                  << "" << 3 << "9600,n,8,1";
    QTest::newRow("typed data bits keep settings") << false << ""
                                                   << "57600"
                                                   << "type:7"
                                                   << "" << 3 << "9600,n,8,1";
    QTest::newRow("typed stop bits keep settings") << false << ""
                                                   << "57600"
                                                   << ""
                                                   << "type:2 bits" << 3 << "9600,n,8,1";
    QTest::newRow("typed port keeps number") << false << "type:Com 9"
                                             << "4800"
                                             << "6 bits"
                                             << "1.5 bits" << 3 << "4800,n,6,1.5";
    QTest::newRow("typed, then picked from the list") << false << "Com 2"
                                                      << "type:abc|list:38400"
                                                      << ""
                                                      << "" << 2 << "38400,n,8,1";
    QTest::newRow("typed, then the same entry picked again") << false << ""
                                                             << "type:abc|115200"
                                                             << ""
                                                             << "" << 3 << "115200,n,8,1";
    QTest::newRow("open port refuses the number") << true << "Com 9"
                                                  << "57600"
                                                  << ""
                                                  << "" << 3 << "57600,n,8,1";
}

void TestCommSet::ok() {
    QFETCH(bool, portOpen);
    QFETCH(QString, portChoice);
    QFETCH(QString, baudChoice);
    QFETCH(QString, dataChoice);
    QFETCH(QString, stopChoice);
    QFETCH(int, port);
    QFETCH(QString, settings);

    Fixture f;
    CommSet& d = *f.dialog;
    if (portOpen) QVERIFY(f.port.open());
    d.show();
    choose(d.Combo1, portChoice);
    choose(d.Combo2, baudChoice);
    choose(d.Combo3, dataChoice);
    choose(d.Combo4, stopChoice);
    QTest::mouseClick(d.Com_set_O, Qt::LeftButton);

    QCOMPARE(f.port.portNumber(), port);
    QCOMPARE(f.port.settings(), settings);
    QCOMPARE(f.port.isOpen(), portOpen);  // the dialog never opens or closes the port
    QCOMPARE(f.ini("Port"), QString::number(port));
    QCOMPARE(f.ini("Settings"), settings);
    const QString caption = QStringLiteral("当前端口设置: [ Com%1 %2 ]").arg(port).arg(settings);
    QCOMPARE(d.windowTitle(), caption);
    QCOMPARE(f.log, QStringList{caption});
    QVERIFY(d.isHidden());
}

void TestCommSet::defaultsThenCancel() {
    Fixture f;
    CommSet& d = *f.dialog;
    d.show();
    pick(d.Combo2, QStringLiteral("4800"));
    QTest::mouseClick(d.Command1, Qt::LeftButton);
    QCOMPARE(d.Combo1->currentText(), QStringLiteral("Com 1"));
    QCOMPARE(d.listIndex(d.Combo1), 0);
    QCOMPARE(d.listIndex(d.Combo2), 10);
    QCOMPARE(d.listIndex(d.Combo3), 3);
    QCOMPARE(d.listIndex(d.Combo4), 0);
    QTest::mouseClick(d.Comm_set_C, Qt::LeftButton);

    QVERIFY(d.isHidden());
    QCOMPARE(f.port.portNumber(), 3);
    QCOMPARE(f.port.settings(), QStringLiteral("9600,n,8,1"));
    QVERIFY(!f.iniExists());
    QVERIFY(f.log.isEmpty());
    QCOMPARE(d.windowTitle(), QStringLiteral("Current Setting [ Com3 9600,n,8,1 ]"));
}

void TestCommSet::laterShowings() {
    Fixture f;
    CommSet& d = *f.dialog;
    d.show();
    pick(d.Combo1, QStringLiteral("Com 7"));
    type(d.Combo2, QStringLiteral("9601"));
    QTest::keyClick(&d, Qt::Key_Escape);  // cancels like "取消"
    QVERIFY(d.isHidden());
    QVERIFY(f.log.isEmpty());

    // Hidden, the dialog keeps the user's last selections and caption, whatever the port does.
    (void)f.port.setPortNumber(2);
    d.show();
    QCOMPARE(d.listIndex(d.Combo1), 6);
    QCOMPARE(d.Combo2->currentText(), QStringLiteral("9601"));
    QCOMPARE(d.listIndex(d.Combo2), -1);
    QCOMPARE(d.windowTitle(), QStringLiteral("Current Setting [ Com3 9600,n,8,1 ]"));

    d.Com_set_O_Click();
    QCOMPARE(f.log, QStringList{"当前端口设置: [ Com7 9600,n,8,1 ]"});
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("当前端口设置: [ Com7 9600,n,8,1 ]"));

    // The close box unloads it: the next showing loads afresh from the port.
    d.close();
    QVERIFY(d.isHidden());
    QCOMPARE(f.log.size(), 1);
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("Current Setting [ Com7 9600,n,8,1 ]"));
    QCOMPARE(d.listIndex(d.Combo2), 10);
}

void TestCommSet::portBeyondList_data() {
    QTest::addColumn<bool>("vantor");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("entry");

    QTest::newRow("Torvik 16") << false << 16 << 15;
    QTest::newRow("Torvik 20") << false << 20 << -1;
    QTest::newRow("Vantor 14") << true << 14 << 13;
    // Torvik may have written 15 or 16 into the file both programs share.
    QTest::newRow("Vantor 15") << true << 15 << -1;
    QTest::newRow("Vantor 16") << true << 16 << -1;
}

void TestCommSet::portBeyondList() {
    QFETCH(bool, vantor);
    QFETCH(int, port);
    QFETCH(int, entry);

    Fixture f(vantor ? ProgramVariant::Vantor : ProgramVariant::Torvik);
    CommSet& d = *f.dialog;
    QVERIFY(f.port.setPortNumber(port));
    d.show();
    QCOMPARE(d.listIndex(d.Combo1), entry);
    if (entry < 0) QVERIFY(d.Combo1->currentText().isEmpty());
    d.Com_set_O_Click();
    QCOMPARE(f.port.portNumber(), port);
    QCOMPARE(f.ini("Port"), QString::number(port));
}

void TestCommSet::vantor() {
    Fixture f(ProgramVariant::Vantor);
    CommSet& d = *f.dialog;
    QCOMPARE(entries(d.Combo1), portEntries(14));
    QVERIFY(!d.iPanelX1);
    QVERIFY(!d.findChild<QWidget*>(QStringLiteral("iPanelX1")));
    QCOMPARE(d.Label5->text(),
             QStringLiteral("  请选择Pellix 对应的串口号。否则将不能进行正常的数据接收"));

    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("Current Setting [ Com3 9600,n,8,1 ]"));
    pick(d.Combo1, QStringLiteral("Com 14"));
    pick(d.Combo2, QStringLiteral("14400"));
    d.Com_set_O_Click();
    // After OK the module tool keeps the load-time form of the caption, and logs it.
    const QString caption = QStringLiteral("Current Setting [ Com14 14400,n,8,1 ]");
    QCOMPARE(d.windowTitle(), caption);
    QCOMPARE(f.log, QStringList{caption});
    QCOMPARE(f.ini("Port"), QStringLiteral("14"));
    QCOMPARE(f.ini("Settings"), QStringLiteral("14400,n,8,1"));
    QVERIFY(d.isHidden());
}

void TestCommSet::deviceTips() {
    Fixture f;
    CommSet& d = *f.dialog;
    f.port.devices = {"/dev/ttyUSB0", "/dev/ttyACM0"};
    d.show();
    QCOMPARE(d.Combo1->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(d.Combo1->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(d.Combo1->itemData(15, Qt::ToolTipRole).toString(), QStringLiteral("不存在"));

    // An adapter plugged in while the dialog was hidden shows at the next showing.
    d.hide();
    f.port.devices = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0"};
    d.show();
    QCOMPARE(d.Combo1->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(d.Combo1->itemData(2, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyACM0"));
}

void TestCommSet::nothingClipped_data() {
    QTest::addColumn<bool>("vantor");
    QTest::newRow("Torvik") << false;
    QTest::newRow("Vantor") << true;
}

void TestCommSet::nothingClipped() {
    QFETCH(bool, vantor);
    Fixture f(vantor ? ProgramVariant::Vantor : ProgramVariant::Torvik);
    CommSet& d = *f.dialog;
    d.show();
    // Everything sits inside the dialog and, in Torvik, below the panel's title bar.
    const QRect inside = d.rect().adjusted(0, d.iPanelX1 ? d.iPanelX1->titleBarHeight() : 0, 0, 0);
    for (QLabel* l : d.findChildren<QLabel*>()) {
        if (l->wordWrap())
            QVERIFY2(l->heightForWidth(l->width()) <= l->height(), qPrintable(l->objectName()));
        else
            QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->objectName()));
        QVERIFY2(inside.contains(l->geometry()), qPrintable(l->objectName()));
    }
    for (QPushButton* b : d.findChildren<QPushButton*>()) {
        QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->objectName()));
        QVERIFY2(inside.contains(b->geometry()), qPrintable(b->objectName()));
    }
    for (QComboBox* c : {d.Combo1, d.Combo2, d.Combo3, d.Combo4}) {
        QVERIFY2(c->sizeHint().width() <= c->width(), qPrintable(c->objectName()));
        QVERIFY2(inside.contains(c->geometry()), qPrintable(c->objectName()));
    }
    // TORVIK_GRAB_DIR=/tmp keeps a picture of the dialog to look at.
    const QString grabDir = qEnvironmentVariable("TORVIK_GRAB_DIR");
    if (!grabDir.isEmpty()) {
        const QString name = vantor ? "commset_vantor.png" : "commset_torvik.png";
        QVERIFY(d.grab().save(QDir(grabDir).filePath(name)));
    }
}

QTEST_MAIN(TestCommSet)
#include "tst_commset.moc"
