#pragma once
// The main window's short commands to the module: gyroscope zero, magnetometer calibration
// save and start, barometric altitude zero. Each is a six-byte CommandFrame written to the
// open port, reported with two log lines and shown on the TXD lamp. No reply is awaited; the
// device's reaction shows in the telemetry that follows.
#include <QtGlobal>

class ActivityLamp;
class MessageLog;
class SerialPort;

class TorvikCommands {
public:
    TorvikCommands(SerialPort& port, MessageLog& log, ActivityLamp& txdLamp)
        : m_port(port), m_log(log), m_txd(txdLamp) {}

    void Send_gyro();       // 0xE0: take the gyroscope zero offset (module at rest)
    void Send_hmc();        // 0xE1: store the magnetometer calibration
    void Send_high();       // 0xE2: zero the barometric altitude
    void Send_hmc_begin();  // 0xE3: start the magnetometer calibration

    // Logged after the two lines when the port refused the frame.
    static constexpr const char* WriteFailedLine = "命令发送失败: 串口写入出错";

private:
    void send(quint8 code, const char* sentLine, const char* hexLine);

    SerialPort& m_port;
    MessageLog& m_log;
    ActivityLamp& m_txd;
};
