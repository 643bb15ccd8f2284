#pragma once
// The main window's hold on its serial port: start-up configuration, the connect switch, the
// port settings menu entry, the disconnect step of recording and playback, a vanished
// device, the receive event, and the port-state report (Timer4) 200 ms after each of them.
// Widgets stay in the window; this class reaches them through the hooks below.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

#include "link/program_variant.h"
#include "platform/timer.h"

class SerialPort;

class PortConnection : public QObject {
    Q_OBJECT
public:
    // What the window binds. Every hook may be left empty.
    struct Hooks {
        std::function<void(const QString&)> showMsg;           // the window's Show_msg
        std::function<void(const QString&)> setSwitchCaption;  // iSwitchLedX1 (Vantor: Command1)
        std::function<void(bool)> setSwitchLit;                // the switch's lamp (Torvik)
        std::function<void()> resetReceiver;                   // the frame receiver's Reset
        std::function<void()> hideLabel1;                      // playback time, hidden on open
        std::function<void()> showSettingsDialog;              // show CommSet, modeless
        // Bytes of a receive event (code 2), read while the threshold is 0. Torvik restarts
        // its receive-silence watchdog Timer6 here, then feeds FrameReceiver.
        std::function<void(const QByteArray&)> received;
    };

    static constexpr int ReportDelayMs = 200;

    // Takes the port's receive and device-lost events; the window must not handle them
    // itself. Timers are created here, so a test installs VirtualTime first. In Vantor Timer4
    // starts enabled: the module tool reports the (closed) port 200 ms after start-up.
    PortConnection(SerialPort& port, ProgramVariant variant, Hooks hooks,
                   QObject* parent = nullptr);

    SerialPort& port() const { return m_port; }
    // Set when the user opens the port with the switch; decides which report a closed port
    // gets: the failure lines or "已关闭 COMn 端口".
    bool OpenRequested() const { return m_openRequested; }

    // Start-up, before the port is ever opened: threshold 1, both buffers emptied, port
    // number and settings from OSC.ini. Missing keys give COM1 115200,n,8,1 silently; a Port
    // that is not a usable number or a Settings that is not a settings string gives the same
    // defaults and one log line.
    void ConfigurePort();

    void iSwitchLedX1_Click();  // connect switch: open or close
    void com_set_Click();       // menu "端口设置"
    // Recording and playback call this before they start: closes an open port, else nothing.
    void Disconnect();
    void Timer4_Tick();
    void SerialPort_OnComm(int code);

    Timer Timer4;  // one-shot port-state report, 200 ms

private:
    void onDeviceLost();
    void log(const QString& text) const;
    void scheduleReport();
    void resetReceiver() const;
    QString comName() const;

    SerialPort& m_port;
    const ProgramVariant m_variant;
    Hooks m_hooks;
    bool m_openRequested = false;
};
