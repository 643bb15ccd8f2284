#pragma once
// OSC, Torvik's main window: a shell that wires the port, the frame receiver, the decoders,
// the display tick and the message log to the controls of its form. The logic lives in the
// subsystems; this class routes events and control names.
#include <QHash>
#include <QMainWindow>
#include <memory>

#include "platform/serial_port.h"
#include "platform/timer.h"
#include "protocol/frame_receiver.h"
#include "shell/control_sink.h"
#include "telemetry/telemetry_state.h"

namespace Ui {
class OSC;
}
class ActivityLamp;
class CommSet;
class MessageLog;
class PortConnection;
class SerialPort;
class TorvikCommands;

class OSC : public QMainWindow {
    Q_OBJECT
public:
    // Without a port the window uses the machine's serial ports.
    explicit OSC(std::unique_ptr<SerialPort> port = nullptr, QWidget* parent = nullptr);
    ~OSC() override;

    const Ui::OSC& form() const { return *ui; }
    SerialPort& port() const { return *m_port; }
    TelemetryState& telemetry() { return m_state; }
    FrameReceiver& receiver() { return m_receiver; }
    PortConnection& connection() const { return *m_connection; }
    TorvikCommands& commands() const { return *m_commands; }
    MessageLog& log() const { return *m_log; }
    void Show_msg(const QString& text);
    // The port settings dialog, created hidden on first use.
    CommSet& commSet();

    // Sensor resolutions: accelerometer counts per g, gyroscope counts per degree per second.
    double AccResolution = DefaultAccResolution;
    double GyroResolution = DefaultGyroResolution;
    static constexpr double DefaultAccResolution = 16384;
    static constexpr double DefaultGyroResolution = 32.8;

    // --- handlers, named after control and event ---
    void StartUp();  // Timer_Getdata, 200 ms after creation
    void display_time_Tick();
    void Timer1_Tick();
    void Timer6_Tick();
    void Check_Click(int group);  // Check1 ... Check4
    void Command6_Click();        // "跟随最新"
    void Help_F_Click();
    void About_P_Click();
    void ExitC_Click();

    // --- timers of the window ---
    Timer Timer6;          // receive-silence watchdog, 200 ms
    Timer display_time;    // display tick, 40 ms, runs only while frames arrive
    Timer Timer5;          // playback steps, 100 ms
    Timer Timer1;          // frames-per-second text, 1000 ms
    Timer Timer_Getdata;   // runs StartUp once

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onGoodFrame();
    void onReceived(const QByteArray& bytes);
    void readResolutions();
    void setupControls();
    void connectControls();
    int decayIndex(int group) const;

    std::unique_ptr<Ui::OSC> ui;
    std::unique_ptr<SerialPort> m_port;
    FrameReceiver m_receiver;
    TelemetryState m_state;
    ActivityLamp* m_rxd;
    ActivityLamp* m_txd;
    ActivityLamp* m_msgLamp;
    std::unique_ptr<MessageLog> m_log;
    std::unique_ptr<PortConnection> m_connection;
    std::unique_ptr<TorvikCommands> m_commands;
    CommSet* m_commSet = nullptr;
    ControlSink m_controls;  // the decoders' texts and values, shown on the display tick
};
