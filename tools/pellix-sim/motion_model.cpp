#include "motion_model.h"

#include <QtMath>
#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;
double rad(double deg) {
    return deg * Pi / 180.0;
}
double deg(double rad) {
    return rad * 180.0 / Pi;
}
double wave(double tMs, double periodMs, double phase = 0) {
    return std::sin(2 * Pi * tMs / periodMs + phase);
}
constexpr double TumbleRampMs = 1000;
constexpr double YawRate = 6.0;  // degrees per second

// Rotates a vector given in earth axes (north, east, down) into body axes.
Vec3 toBody(const Vec3& v, const Attitude& a) {
    const double cy = std::cos(rad(a.yaw)), sy = std::sin(rad(a.yaw));
    const double cp = std::cos(rad(a.pitch)), sp = std::sin(rad(a.pitch));
    const double cr = std::cos(rad(a.roll)), sr = std::sin(rad(a.roll));
    const Vec3 h{cy * v.x + sy * v.y, -sy * v.x + cy * v.y, v.z};  // undo the heading
    const Vec3 l{cp * h.x - sp * h.z, h.y, sp * h.x + cp * h.z};   // undo the pitch
    return {l.x, cr * l.y + sr * l.z, -sr * l.y + cr * l.z};       // undo the roll
}
}  // namespace

double wrapDegrees(double a) {
    a = std::fmod(a + 180.0, 360.0);
    if (a < 0) a += 360.0;
    return a - 180.0;
}

double MotionModel::tumbleWeight(double tMs) const {
    const double k = qBound(0.0, (tMs - m_tumbleSince) / TumbleRampMs, 1.0);
    return m_tumbleFrom + (m_tumbleTarget - m_tumbleFrom) * k;
}

double MotionModel::stillYawTurn(double tMs) const {
    const double d = tMs - m_tumbleSince;
    if (d <= 0) return m_yawTurnAtSwitch;
    // The turn rate follows the tumble weight, so the yaw is its integral: smooth while
    // the motion blends in or out.
    const double ramp = d < TumbleRampMs ? d * d / (2 * TumbleRampMs) : d - TumbleRampMs / 2;
    const double weighted = m_tumbleFrom * d + (m_tumbleTarget - m_tumbleFrom) * ramp;
    return m_yawTurnAtSwitch + YawRate * weighted / 1000.0;
}

void MotionModel::setTumbling(bool on, double tMs) {
    const double target = on ? 1.0 : 0.0;
    if (target == m_tumbleTarget) return;
    m_yawTurnAtSwitch = stillYawTurn(tMs);
    m_tumbleFrom = tumbleWeight(tMs);
    m_tumbleTarget = target;
    m_tumbleSince = tMs;
}

Attitude MotionModel::attitude(double tMs) const {
    const double w = tumbleWeight(tMs);
    const double moving = m_motion == Motion::Moving ? 1.0 : 0.0;
    Attitude a;
    // The still module turns only while it is picked up for the calibration.
    a.yaw = wrapDegrees(30.0 +
                        (m_motion == Motion::Moving ? YawRate * tMs / 1000.0 : stillYawTurn(tMs)));
    a.pitch = 1.5 + (10.5 * moving + 63.0 * w) * wave(tMs, 7000);
    a.roll = wrapDegrees(-0.8 + (19.2 * moving + 150.0 * w) * wave(tMs, 5000, 1.0));
    return a;
}

Vec3 MotionModel::bodyRates(double tMs) const {
    constexpr double h = 1.0;  // ms
    const Attitude a0 = attitude(tMs - h), a = attitude(tMs), a1 = attitude(tMs + h);
    const double dYaw = wrapDegrees(a1.yaw - a0.yaw) / (2 * h) * 1000.0;
    const double dPitch = (a1.pitch - a0.pitch) / (2 * h) * 1000.0;
    const double dRoll = wrapDegrees(a1.roll - a0.roll) / (2 * h) * 1000.0;
    const double sp = std::sin(rad(a.pitch)), cp = std::cos(rad(a.pitch));
    const double sr = std::sin(rad(a.roll)), cr = std::cos(rad(a.roll));
    return {dRoll - dYaw * sp, dPitch * cr + dYaw * cp * sr, -dPitch * sr + dYaw * cp * cr};
}

double MotionModel::altitude(double tMs) const {
    if (m_motion == Motion::Still) return 52.0;
    return 52.0 + 3.0 * wave(tMs, 40000) + 0.8 * wave(tMs, 9000, 0.5);
}

double MotionModel::temperature(double tMs) const {
    return 25.3 + 1.2 * wave(tMs, 300000);
}

double MotionModel::pressureAt(double altitude) {
    return 101325.0 * std::pow(1.0 - 2.25577e-5 * altitude, 5.25588);
}

Vec3 MotionModel::gravityInBody(const Attitude& a) {
    return toBody({0, 0, 1}, a);
}

Vec3 MotionModel::fieldInBody(const Attitude& a) {
    const double i = rad(FieldInclination);
    return toBody({std::cos(i), 0, std::sin(i)}, a);
}

double MotionModel::headingFrom(const Vec3& m, const Attitude& tilt) {
    const double cp = std::cos(rad(tilt.pitch)), sp = std::sin(rad(tilt.pitch));
    const double cr = std::cos(rad(tilt.roll)), sr = std::sin(rad(tilt.roll));
    // Put the roll and the pitch back, leaving the field as a level module would see it.
    const Vec3 l{m.x, cr * m.y - sr * m.z, sr * m.y + cr * m.z};
    const double hx = cp * l.x + sp * l.z;
    const double hy = l.y;
    return deg(std::atan2(-hy, hx));
}
