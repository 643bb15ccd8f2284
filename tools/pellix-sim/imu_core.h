#pragma once
// The sensor side shared by the module and the flight controller: solved attitude,
// barometer and raw sensors from the motion model, with the corrections the commands set up
// (gyroscope zero, altitude zero, angle offsets, magnetometer and accelerometer calibration).
#include <QtGlobal>
#include <array>
#include <random>

#include "motion_model.h"
#include "report_frames.h"

class ImuCore {
public:
    static constexpr double AccPerG = 16384;    // counts per g
    static constexpr double GyroPerDps = 32.8;  // counts per degree per second
    static constexpr double FieldCounts = 550;  // counts of the earth's field
    static constexpr int SolutionRate = 500;    // attitude solutions per second
    // What the sensors read with nothing corrected: each chip has its own zero error.
    static constexpr std::array<int, 3> GyroBias{14, -9, 6};
    static constexpr std::array<int, 3> AccBias{60, -45, 90};
    static constexpr std::array<int, 3> MagBias{35, -60, 20};

    explicit ImuCore(MotionModel::Motion motion = MotionModel::Motion::Moving, quint32 seed = 1);

    MotionModel& model() { return m_model; }
    const MotionModel& model() const { return m_model; }

    [[nodiscard]] Report::ImuValues imu(double tMs) const;
    [[nodiscard]] Report::MotionValues motion(double tMs);

    // The gyroscope zero is taken with the module at rest, as the user is asked to keep it.
    void zeroGyro();
    void zeroAltitude(double tMs);

    // Angle offsets in tenths of a degree; the reported attitude is the solved one minus them.
    void setOffsets(int yaw, int pitch, int roll);
    std::array<int, 3> offsets() const { return m_offsets; }

    void startMagCalibration(double tMs);
    void saveMagCalibration(double tMs);
    void cancelMagCalibration(double tMs);
    bool magCalibrating() const { return m_magCalibrating; }
    // Follows the magnetometer extremes up to tMs while a calibration runs.
    void advance(double tMs);
    [[nodiscard]] QByteArray magRangeFrame() const;
    std::array<int, 3> magMax() const { return m_magMax; }
    std::array<int, 3> magMin() const { return m_magMin; }

    // The accelerometer extreme of selector 0 to 5 (X-, X+, Y-, Y+, Z-, Z+), read as if the
    // user held that axis along gravity.
    [[nodiscard]] int captureAccExtreme(int selector);
    void startAccCalibration();
    // Centres each axis whose two extremes were captured; returns how many axes were.
    int finishAccCalibration();

private:
    std::array<int, 3> rawMag(double tMs);
    double noise(double sigma);

    MotionModel m_model;
    std::mt19937 m_rng;
    std::array<int, 3> m_gyroZero{};
    std::array<int, 3> m_accZero{};
    std::array<int, 3> m_magZero{};
    std::array<int, 3> m_offsets{};
    double m_altitudeZero = 0;
    bool m_magCalibrating = false;
    std::array<int, 3> m_magMax{}, m_magMin{};
    double m_nextMagSample = 0;
    std::array<int, 6> m_accCaptured{};
    std::array<bool, 6> m_accHave{};
};
