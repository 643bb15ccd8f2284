#include "imu_core.h"

#include <QtMath>

namespace {
constexpr double MagSampleMs = 10;  // the calibration looks at the magnetometer at 100 Hz
}

ImuCore::ImuCore(MotionModel::Motion motion, quint32 seed) : m_model(motion), m_rng(seed) {}

double ImuCore::noise(double sigma) {
    std::normal_distribution<double> d(0.0, sigma);
    return d(m_rng);
}

Report::ImuValues ImuCore::imu(double tMs) const {
    const Attitude a = m_model.attitude(tMs);
    const double altitude = m_model.altitude(tMs);
    Report::ImuValues v;
    v.yaw = wrapDegrees(a.yaw - m_offsets[0] / 10.0);
    v.pitch = a.pitch - m_offsets[1] / 10.0;
    v.roll = wrapDegrees(a.roll - m_offsets[2] / 10.0);
    v.altitude = altitude - m_altitudeZero;
    v.temperature = m_model.temperature(tMs);
    v.pressure = MotionModel::pressureAt(altitude);
    v.solutionRate = SolutionRate;
    return v;
}

std::array<int, 3> ImuCore::rawMag(double tMs) {
    const Vec3 f = MotionModel::fieldInBody(m_model.attitude(tMs));
    return {qRound(f.x * FieldCounts + MagBias[0] + noise(1.5)),
            qRound(f.y * FieldCounts + MagBias[1] + noise(1.5)),
            qRound(f.z * FieldCounts + MagBias[2] + noise(1.5))};
}

Report::MotionValues ImuCore::motion(double tMs) {
    const Attitude a = m_model.attitude(tMs);
    const Vec3 g = MotionModel::gravityInBody(a);
    const Vec3 w = m_model.bodyRates(tMs);
    Report::MotionValues v;
    const double acc[3] = {g.x, g.y, g.z};
    const double rate[3] = {w.x, w.y, w.z};
    const std::array<int, 3> mag = rawMag(tMs);
    for (int i = 0; i < 3; ++i) {
        v.acc[i] = qRound(acc[i] * AccPerG + AccBias[i] - m_accZero[i] + noise(6));
        v.gyro[i] = qRound(rate[i] * GyroPerDps + GyroBias[i] - m_gyroZero[i] + noise(1.5));
        v.mag[i] = mag[i] - m_magZero[i];
    }
    return v;
}

void ImuCore::zeroGyro() {
    m_gyroZero = GyroBias;
}

void ImuCore::zeroAltitude(double tMs) {
    m_altitudeZero = m_model.altitude(tMs);
}

void ImuCore::setOffsets(int yaw, int pitch, int roll) {
    m_offsets = {yaw, pitch, roll};
}

void ImuCore::startMagCalibration(double tMs) {
    m_magCalibrating = true;
    m_model.setTumbling(true, tMs);
    m_magMax = m_magMin = rawMag(tMs);
    m_nextMagSample = tMs + MagSampleMs;
}

void ImuCore::saveMagCalibration(double tMs) {
    advance(tMs);
    if (!m_magCalibrating) return;
    m_magCalibrating = false;
    m_model.setTumbling(false, tMs);
    // Hard-iron correction: the centre of the extremes becomes the zero of each axis.
    for (int i = 0; i < 3; ++i) m_magZero[i] = (m_magMax[i] + m_magMin[i]) / 2;
}

void ImuCore::cancelMagCalibration(double tMs) {
    m_magCalibrating = false;
    m_model.setTumbling(false, tMs);
}

void ImuCore::advance(double tMs) {
    if (!m_magCalibrating) return;
    // After a stall, look at the last second only rather than at every missed sample.
    m_nextMagSample = qMax(m_nextMagSample, tMs - 1000.0);
    for (; m_nextMagSample <= tMs; m_nextMagSample += MagSampleMs) {
        const std::array<int, 3> m = rawMag(m_nextMagSample);
        for (int i = 0; i < 3; ++i) {
            m_magMax[i] = qMax(m_magMax[i], m[i]);
            m_magMin[i] = qMin(m_magMin[i], m[i]);
        }
    }
}

QByteArray ImuCore::magRangeFrame() const {
    return Report::magRangeFrame(m_magMax, m_magMin);
}

int ImuCore::captureAccExtreme(int selector) {
    const int axis = selector / 2;
    const double sign = selector % 2 ? 1.0 : -1.0;
    const int value = qRound(sign * AccPerG + AccBias[axis] + noise(6));
    m_accCaptured[selector] = value;
    m_accHave[selector] = true;
    return value;
}

void ImuCore::startAccCalibration() {
    m_accHave = {};
}

int ImuCore::finishAccCalibration() {
    int axes = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!m_accHave[2 * axis] || !m_accHave[2 * axis + 1]) continue;
        m_accZero[axis] = (m_accCaptured[2 * axis] + m_accCaptured[2 * axis + 1]) / 2;
        ++axes;
    }
    return axes;
}
