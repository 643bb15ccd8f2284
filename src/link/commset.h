#pragma once
// The port settings dialog of both programs: port number, baud rate, data bits and stop bits.
// OK applies the choice to the main window's port, stores what the port then holds in
// OSC.ini and logs it; the dialog never opens or closes the port. Modeless: hiding keeps the
// user's last selections and caption for the next showing.
#include <QDialog>
#include <functional>
#include <memory>

#include "link/program_variant.h"

class QComboBox;
class QLabel;
class QPushButton;
class SerialPort;
class TitledPanel;
class ComboSelection;

namespace Ui {
class CommSet;
}

class CommSet : public QDialog {
    Q_OBJECT
public:
    using MessageLog = std::function<void(const QString&)>;

    // showMsg is the owning window's Show_msg.
    CommSet(SerialPort& port, ProgramVariant variant, MessageLog showMsg,
            QWidget* parent = nullptr);
    ~CommSet() override;

    [[nodiscard]] int portCount() const;  // entries of Combo1: 16, or 14 in Vantor

    // The list entry a combo box of this dialog has selected; -1 when none is (typed text,
    // or a port number the list does not hold).
    [[nodiscard]] int listIndex(const QComboBox* combo) const;
    void select(QComboBox* combo, int index);

    // Runs once before the first showing (and again after the close box): load-time caption
    // and selections from the port's current values.
    void Form_Load();
    void Command1_Click();    // "默认值"
    void Com_set_O_Click();   // "确定"
    void Comm_set_C_Click();  // "取消"

    // --- controls ---
    TitledPanel* iPanelX1;    // titled background panel "端口设置"; nullptr in Vantor
    QLabel* Label1;           // "串口号"
    QComboBox* Combo1;        // "Com 1" ...; tool tip: the device the entry resolves to
    QLabel* Label2;           // "波特率"
    QComboBox* Combo2;        // baud rates 600 ... 115200
    QLabel* Label3;           // "数据位数"
    QComboBox* Combo3;        // "5 bits" ... "8 bits"
    QLabel* Label4;           // "停止位"
    QComboBox* Combo4;        // "1 bit", "1.5 bits", "2 bits"
    QLabel* Label5;           // which port to choose
    QPushButton* Command1;    // "默认值"
    QPushButton* Com_set_O;   // "确定"
    QPushButton* Comm_set_C;  // "取消"

public slots:
    // Esc cancels like "取消".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    // The close box unloads the dialog: the next showing loads it afresh.
    void closeEvent(QCloseEvent* event) override;

private:
    QString currentCaption(const QString& prefix) const;
    QString selectedSettings() const;
    void refreshPortTips();
    ComboSelection* selection(const QComboBox* combo) const;

    std::unique_ptr<Ui::CommSet> m_ui;
    SerialPort& m_port;
    const ProgramVariant m_variant;
    MessageLog m_showMsg;
    bool m_loaded = false;
};
