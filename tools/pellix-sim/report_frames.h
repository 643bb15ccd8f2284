#pragma once
// The frames the simulated devices send, byte for byte as the ground programs decode them,
// and the codes of the frames the programs send to the devices.
#include <QByteArray>
#include <QtGlobal>
#include <array>

namespace Report {
constexpr quint8 Flow = 0x0F;
constexpr quint8 PwmIn = 0x12;
constexpr quint8 PwmOut = 0x13;
constexpr quint8 PidTrace = 0x15;
constexpr quint8 Imu = 0xA1;
constexpr quint8 Motion = 0xA2;
constexpr quint8 Gps = 0xA3;
constexpr quint8 MagRange = 0xA4;
constexpr quint8 AccExtreme = 0xA5;  // from the module
constexpr quint8 Target = 0xA5;      // from the flight controller
constexpr quint8 Status = 0xA6;
constexpr quint8 Config = 0xB1;
constexpr quint8 ConfigWritten = 0xB3;
constexpr quint8 Offsets = 0xB5;
constexpr quint8 OffsetsWritten = 0xB6;
constexpr quint8 PidFirst = 0xD1;  // 0xD1 + loop - 1, loops 1 to 5
}  // namespace Report

namespace Command {
constexpr quint8 Loader = 0x11;
constexpr quint8 CaptureAccExtreme = 0xA0;
constexpr quint8 ReadConfig = 0xB0;
constexpr quint8 WriteConfig = 0xB3;
constexpr quint8 ReadOffsets = 0xB5;
constexpr quint8 WriteOffsets = 0xB6;
constexpr quint8 ReadPidFirst = 0xD1;         // loops 1 to 5: 0xD1 to 0xD5
constexpr quint8 SelectPidTraceFirst = 0xD6;  // loops 1 to 4: 0xD6 to 0xD9
constexpr quint8 WritePidFirst = 0xDA;        // loops 1 to 5: 0xDA to 0xDE
constexpr quint8 GyroZero = 0xE0;
constexpr quint8 MagSave = 0xE1;
constexpr quint8 AltitudeZero = 0xE2;
constexpr quint8 MagStart = 0xE3;
constexpr quint8 AccFinish = 0xE4;
constexpr quint8 AccStart = 0xE6;
constexpr quint8 ServoNeutral = 0xF5;
}  // namespace Command

namespace Report {

// Angles, altitude and temperature travel in tenths, the pressure in units of 10 Pa.
struct ImuValues {
    double yaw = 0, pitch = 0, roll = 0;  // degrees
    double altitude = 0;                  // metres
    double temperature = 0;               // degrees Celsius
    double pressure = 0;                  // pascal
    int solutionRate = 0;                 // solutions per second
};
[[nodiscard]] QByteArray imuFrame(const ImuValues& v);

struct MotionValues {
    std::array<int, 3> acc{}, gyro{}, mag{};  // raw counts
};
[[nodiscard]] QByteArray motionFrame(const MotionValues& v);

[[nodiscard]] QByteArray magRangeFrame(const std::array<int, 3>& max,
                                       const std::array<int, 3>& min);
[[nodiscard]] QByteArray accExtremeFrame(int value, quint8 selector);
[[nodiscard]] QByteArray configFrame(quint8 frames, quint8 rateCode, quint8 baudCode);
[[nodiscard]] QByteArray configWrittenFrame();
// Offsets in tenths of a degree.
[[nodiscard]] QByteArray offsetsFrame(int yaw, int pitch, int roll);
[[nodiscard]] QByteArray offsetsWrittenFrame();

[[nodiscard]] QByteArray pwmInFrame(const std::array<int, 6>& widths);
[[nodiscard]] QByteArray pwmOutFrame(const std::array<int, 8>& widths);
[[nodiscard]] QByteArray pidTraceFrame(float target, float current, float output);
[[nodiscard]] QByteArray pidFrame(int loop, float p, float i, float d);

struct GpsValues {
    double longitude = 0, latitude = 0;  // degrees
    double height = 0;                   // metres
    int satellites = 0;
    double heading = 0;  // degrees
    double speed = 0;    // m/s
};
[[nodiscard]] QByteArray gpsFrame(const GpsValues& v);

struct TargetValues {
    double longitude = 0, latitude = 0;  // degrees
    double height = 0, distance = 0;     // metres
    double xControl = 0, yControl = 0;   // degrees
};
[[nodiscard]] QByteArray targetFrame(const TargetValues& v);

struct StatusValues {
    int mode = 2;                   // 1 manual, 2 self-levelling, 3 position hold, 4 ESC
    double battery = 0, servo = 0;  // volts
    int errorCode = 0;
    int i2cErrors = 0;
    int uptime = 0;  // seconds
};
[[nodiscard]] QByteArray statusFrame(const StatusValues& v);

[[nodiscard]] QByteArray flowFrame(int x, int y);

}  // namespace Report
