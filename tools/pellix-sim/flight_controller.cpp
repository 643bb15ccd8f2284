#include "flight_controller.h"

#include <QtMath>
#include <cmath>

#include "protocol/fields.h"

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double MetresPerDegreeLat = 110540.0;
constexpr double MetresPerDegreeLon = 111320.0;
constexpr double CirclePeriodMs = 120000;  // the craft circles its home point
constexpr double CircleLon = 0.0006, CircleLat = 0.0005;
constexpr double StickLeadMs = 150;  // the craft reaches the commanded attitude this late
constexpr PidGains DefaultGains[FlightControllerDevice::Loops] = {
    {1.8f, 0.02f, 6.5f},  // roll
    {1.8f, 0.02f, 6.5f},  // pitch
    {3.0f, 0.0f, 1.2f},   // heading
    {1.2f, 0.15f, 3.5f},  // altitude
    {4.0f, 0.01f, 0.3f},  // angle balance
};
int clampWidth(double us) {
    return qBound(1000, qRound(us), 2000);
}
}  // namespace

FlightControllerDevice::FlightControllerDevice(MotionModel::Motion motion, quint32 seed)
    : m_imu(motion, seed) {
    for (int i = 0; i < Loops; ++i) m_loops[i].gains = DefaultGains[i];
    m_trace.gains = m_loops[0].gains;
    m_telemetry.start(rateForCode(m_imuConfig.rateCode), 0);
    m_pwm.start(PwmHz, 0);
    m_traceSchedule.start(TraceHz, 0);
    m_gps.start(GpsHz, 0);
    m_status.start(StatusHz, 0);
    m_parser.onFrame = [this](const QByteArray& f) {
        if (received) received(f, true);
        handleFrame(f, m_now);
    };
    m_parser.onJunk = [this](const QByteArray& j) {
        if (received) received(j, false);
    };
}

void FlightControllerDevice::setImuConfig(const ModuleConfig& c, double nowMs) {
    m_imuConfig = c;
    m_telemetry.start(rateForCode(c.rateCode), nowMs);
}

void FlightControllerDevice::setFlowRate(double hz, double nowMs) {
    if (hz > 0)
        m_flow.start(hz, nowMs);
    else
        m_flow.stop();
}

void FlightControllerDevice::receive(const QByteArray& bytes, double nowMs) {
    m_now = nowMs;
    m_parser.feed(bytes);
    m_parser.flushJunk();
}

void FlightControllerDevice::handleFrame(const QByteArray& frame, double nowMs) {
    const auto type = static_cast<quint8>(frame[3]);
    const QByteArray payload = frame.mid(4, frame.size() - 6);
    if (type >= Command::ReadPidFirst && type < Command::ReadPidFirst + Loops) {
        const int loop = type - Command::ReadPidFirst + 1;
        const PidGains g = m_loops[loop - 1].gains;
        emitFrame(Report::pidFrame(loop, g.p, g.i, g.d));
        return;
    }
    if (type >= Command::SelectPidTraceFirst && type < Command::SelectPidTraceFirst + 4) {
        m_traced = type - Command::SelectPidTraceFirst + 1;
        m_trace.reset();
        tell(QStringLiteral("tracing PID loop %1").arg(m_traced));
        return;
    }
    if (type >= Command::WritePidFirst && type < Command::WritePidFirst + Loops) {
        PidGains g;
        if (!Field::f32le(payload, 0, &g.p) || !Field::f32le(payload, 4, &g.i) ||
            !Field::f32le(payload, 8, &g.d))
            return;
        const int loop = type - Command::WritePidFirst + 1;
        m_loops[loop - 1].gains = g;
        tell(QStringLiteral("PID loop %1: P %2, I %3, D %4").arg(loop).arg(g.p).arg(g.i).arg(g.d));
        return;
    }
    switch (type) {
        case Command::GyroZero:
            m_imu.zeroGyro();
            tell(QStringLiteral("gyroscope zeroed"));
            break;
        case Command::AltitudeZero:
            m_imu.zeroAltitude(nowMs);
            tell(QStringLiteral("altitude zeroed"));
            break;
        case Command::MagStart:
            m_imu.startMagCalibration(nowMs);
            m_magRange.start(ModuleDevice::MagRangeHz, nowMs);
            tell(QStringLiteral("magnetometer calibration started"));
            break;
        case Command::MagSave:
            if (!m_imu.magCalibrating()) break;
            m_imu.saveMagCalibration(nowMs);
            m_magRange.stop();
            tell(QStringLiteral("magnetometer calibration saved"));
            break;
        case Command::ServoNeutral:
            // The pilot centres the sticks before asking: what the receiver reads now is the
            // centre of each channel from here on.
            m_neutral = InputTrim;
            tell(QStringLiteral("servo neutral recorded"));
            break;
        default:
            break;
    }
}

FlightControllerDevice::Commands FlightControllerDevice::sticks(double tMs) const {
    const Attitude ahead = m_imu.model().attitude(tMs + StickLeadMs);
    Commands c;
    c.roll = qBound(-45.0, ahead.roll, 45.0);
    c.pitch = qBound(-45.0, ahead.pitch, 45.0);
    c.yawRate = m_imu.model().motion() == MotionModel::Motion::Moving ? 6.0 : 0.0;
    c.throttle = 0.45 + 0.05 * std::sin(2 * Pi * tMs / 9000);
    return c;
}

std::array<int, 6> FlightControllerDevice::inputs(double tMs) const {
    const Commands c = sticks(tMs);
    const double stick[6] = {c.roll / 45.0 * 400,
                             c.pitch / 45.0 * 400,
                             c.throttle * 1000 - 500,
                             c.yawRate / 30.0 * 400,
                             0.0,
                             -400.0};
    std::array<int, 6> in{};
    for (int i = 0; i < 6; ++i) in[i] = clampWidth(1500 + stick[i] + InputTrim[i] - m_neutral[i]);
    return in;
}

std::array<int, 8> FlightControllerDevice::outputs(double tMs) const {
    const Commands c = sticks(tMs);
    const Attitude a = m_imu.model().attitude(tMs);
    const Vec3 w = m_imu.model().bodyRates(tMs);
    const std::array<int, 6> in = inputs(tMs);
    const double roll = qBound(-150.0, m_loops[0].gains.p * (c.roll - a.roll) * 4, 150.0);
    const double pitch = qBound(-150.0, m_loops[1].gains.p * (c.pitch - a.pitch) * 4, 150.0);
    const double yaw = qBound(-100.0, m_loops[2].gains.p * (c.yawRate - w.z) * 2, 100.0);
    const double thr = in[2];
    const auto motor = [](double us) { return qBound(1100, qRound(us), 1950); };
    return {motor(thr - roll + pitch - yaw),
            motor(thr + roll + pitch + yaw),
            motor(thr + roll - pitch - yaw),
            motor(thr - roll - pitch + yaw),
            clampWidth(1500 - a.pitch * 10),
            clampWidth(1500 - a.roll * 10),
            in[4],
            in[5]};
}

QByteArray FlightControllerDevice::traceSample(double tMs) {
    m_trace.gains = m_loops[m_traced - 1].gains;
    const Report::ImuValues now = m_imu.imu(tMs);
    const Commands c = sticks(tMs);
    double target = 0, current = 0;
    switch (m_traced) {
        case 1:
            target = c.roll;
            current = now.roll;
            break;
        case 2:
            target = c.pitch;
            current = now.pitch;
            break;
        case 3: {
            // Heading hold: the heading the craft will have half a second on.
            current = now.yaw;
            target = current + wrapDegrees(m_imu.imu(tMs + 500).yaw - current);
            break;
        }
        default:
            current = now.altitude;
            target = m_imu.imu(tMs + 1000).altitude;
            break;
    }
    const float out = m_trace.update(target, current, 1.0 / TraceHz);
    return Report::pidTraceFrame(float(target), float(current), out);
}

Report::GpsValues FlightControllerDevice::gps(double tMs) const {
    const double a = 2 * Pi * tMs / CirclePeriodMs;
    const double omega = 2 * Pi / (CirclePeriodMs / 1000.0);
    Report::GpsValues g;
    g.longitude = HomeLongitude + CircleLon * std::cos(a);
    g.latitude = HomeLatitude + CircleLat * std::sin(a);
    g.height = m_imu.model().altitude(tMs) + 1.3;
    g.satellites = 9 + int(tMs / 20000) % 3;
    const double east =
        -CircleLon * std::sin(a) * omega * MetresPerDegreeLon * std::cos(HomeLatitude * Pi / 180);
    const double north = CircleLat * std::cos(a) * omega * MetresPerDegreeLat;
    g.heading = std::fmod(std::atan2(east, north) * 180 / Pi + 360.0, 360.0);
    g.speed = std::hypot(east, north);
    return g;
}

Report::TargetValues FlightControllerDevice::target(double tMs) const {
    const Report::GpsValues g = gps(tMs);
    const double dx =
        (g.longitude - HomeLongitude) * MetresPerDegreeLon * std::cos(HomeLatitude * Pi / 180);
    const double dy = (g.latitude - HomeLatitude) * MetresPerDegreeLat;
    Report::TargetValues t;
    t.longitude = HomeLongitude;
    t.latitude = HomeLatitude;
    t.height = 50.0;
    t.distance = std::hypot(dx, dy);
    t.xControl = qBound(-15.0, -dx * 0.2, 15.0);
    t.yControl = qBound(-15.0, -dy * 0.2, 15.0);
    return t;
}

Report::StatusValues FlightControllerDevice::status(double tMs) const {
    const int modeSwitch = inputs(tMs)[4];
    Report::StatusValues s;
    s.mode = modeSwitch < 1300 ? 1 : modeSwitch < 1700 ? 2 : 3;
    s.battery = qMax(10.8, 12.4 - tMs / 60000.0 * 0.1);
    s.servo = 5.0 + 0.05 * std::sin(2 * Pi * tMs / 13000);
    s.errorCode = 0;
    s.i2cErrors = int(tMs / 97000);
    s.uptime = int(tMs / 1000);
    return s;
}

void FlightControllerDevice::advance(double nowMs) {
    m_now = nowMs;
    m_imu.advance(nowMs);
    double t;
    while (m_telemetry.next(nowMs, &t)) {
        if (m_imuConfig.frames != ModuleConfig::SensorsOnly)
            emitFrame(Report::imuFrame(m_imu.imu(t)));
        if (m_imuConfig.frames != ModuleConfig::AttitudeOnly)
            emitFrame(Report::motionFrame(m_imu.motion(t)));
    }
    while (m_pwm.next(nowMs, &t)) {
        emitFrame(Report::pwmInFrame(inputs(t)));
        emitFrame(Report::pwmOutFrame(outputs(t)));
    }
    while (m_traceSchedule.next(nowMs, &t)) emitFrame(traceSample(t));
    while (m_gps.next(nowMs, &t)) {
        emitFrame(Report::gpsFrame(gps(t)));
        emitFrame(Report::targetFrame(target(t)));
    }
    while (m_status.next(nowMs, &t)) emitFrame(Report::statusFrame(status(t)));
    while (m_magRange.next(nowMs, &t)) emitFrame(m_imu.magRangeFrame());
    while (m_flow.next(nowMs, &t)) {
        // The flow sensor sees the ground move under the craft: its velocity, in tenths.
        const Report::GpsValues g = gps(t);
        const double h = g.heading * Pi / 180;
        emitFrame(Report::flowFrame(qRound(g.speed * std::sin(h) * 10),
                                    qRound(-g.speed * std::cos(h) * 10)));
    }
}
