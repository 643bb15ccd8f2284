#pragma once
// The Pellix attitude module: ReportIMU / ReportMotion at the configured frames and rate,
// the configuration and offset replies, both calibrations, the zero commands and the loader.
#include <QtGlobal>

#include "device.h"
#include "host_frame_parser.h"
#include "imu_core.h"
#include "loader.h"
#include "schedule.h"

struct ModuleConfig {
    enum Frames : quint8 { AttitudeOnly = 0, AttitudeAndSensors = 1, SensorsOnly = 2 };
    quint8 frames = AttitudeAndSensors;
    quint8 rateCode = 6;  // 20 Hz
    quint8 baudCode = 7;  // 115200
};

// Rate codes 1 to 8; 0 for a code outside them.
[[nodiscard]] int rateForCode(int code);
[[nodiscard]] int codeForRate(int hz);
[[nodiscard]] int baudForCode(int code);

class ModuleDevice : public Device {
public:
    static constexpr int MagRangeHz = 10;

    explicit ModuleDevice(MotionModel::Motion motion = MotionModel::Motion::Moving,
                          quint32 seed = 1);

    void setConfig(const ModuleConfig& c, double nowMs);
    const ModuleConfig& config() const { return m_config; }
    ImuCore& imu() { return m_imu; }
    Loader& loader() { return m_loader; }

    void receive(const QByteArray& bytes, double nowMs) override;
    void advance(double nowMs) override;

private:
    void handleFrame(const QByteArray& frame, double nowMs);
    void writeConfig(const QByteArray& payload, double nowMs);

    ImuCore m_imu;
    ModuleConfig m_config;
    Schedule m_telemetry;
    Schedule m_magRange;
    HostFrameParser m_parser;
    Loader m_loader;
    double m_now = 0;
};
