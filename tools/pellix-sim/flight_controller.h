#pragma once
// The Torvik flight controller: the module's telemetry plus receiver inputs, PWM outputs,
// GPS, position-hold target, status, the trace of one PID loop and, when asked for, the
// optical-flow motion; it answers ReadPid, takes WritePid, SelectPidTrace and ServoNeutral.
#include <QtGlobal>
#include <array>

#include "device.h"
#include "host_frame_parser.h"
#include "imu_core.h"
#include "module_device.h"
#include "pid_loop.h"
#include "schedule.h"

class FlightControllerDevice : public Device {
public:
    static constexpr int Loops = 5;
    static constexpr int PwmHz = 20;
    static constexpr int TraceHz = 50;
    static constexpr int GpsHz = 5;
    static constexpr int StatusHz = 2;
    // How far each receiver channel sits from 1500 us with the sticks centred, until the
    // servo-neutral command records it.
    static constexpr std::array<int, 6> InputTrim{42, -31, 18, 25, -12, 37};
    static constexpr double HomeLongitude = 120.0122;
    static constexpr double HomeLatitude = 30.2741;

    explicit FlightControllerDevice(MotionModel::Motion motion = MotionModel::Motion::Moving,
                                    quint32 seed = 1);

    // The module telemetry inside the flight controller; its configuration is fixed here.
    void setImuConfig(const ModuleConfig& c, double nowMs);
    void setFlowRate(double hz, double nowMs);
    ImuCore& imu() { return m_imu; }
    PidGains gains(int loop) const { return m_loops[loop - 1].gains; }
    int tracedLoop() const { return m_traced; }

    void receive(const QByteArray& bytes, double nowMs) override;
    void advance(double nowMs) override;

    // What the controller computes at tMs (exposed for tests).
    [[nodiscard]] std::array<int, 6> inputs(double tMs) const;
    [[nodiscard]] std::array<int, 8> outputs(double tMs) const;

private:
    struct Commands {
        double roll = 0, pitch = 0, yawRate = 0, throttle = 0;  // degrees, deg/s, 0..1
    };
    Commands sticks(double tMs) const;
    void handleFrame(const QByteArray& frame, double nowMs);
    QByteArray traceSample(double tMs);
    Report::GpsValues gps(double tMs) const;
    Report::TargetValues target(double tMs) const;
    Report::StatusValues status(double tMs) const;

    ImuCore m_imu;
    ModuleConfig m_imuConfig;
    HostFrameParser m_parser;
    std::array<PidLoop, Loops> m_loops;
    int m_traced = 1;
    PidLoop m_trace;
    std::array<int, 6> m_neutral{};  // trim recorded by the servo-neutral command
    Schedule m_telemetry, m_magRange, m_pwm, m_traceSchedule, m_gps, m_status, m_flow;
    double m_now = 0;
};
