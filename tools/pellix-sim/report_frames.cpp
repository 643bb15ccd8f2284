#include "report_frames.h"

#include <QtMath>

#include "protocol/fields.h"
#include "protocol/frame.h"

namespace Report {
namespace {
int tenths(double v) {
    return qRound(v * 10.0);
}
qint32 tenThousandths(double v) {
    return static_cast<qint32>(qRound64(v * 10000.0));
}
}  // namespace

QByteArray imuFrame(const ImuValues& v) {
    QByteArray p;
    Field::putSm16be(p, tenths(v.yaw));
    Field::putSm16be(p, tenths(v.pitch));
    Field::putSm16be(p, tenths(v.roll));
    Field::putSm16be(p, tenths(v.altitude));
    Field::putSm16be(p, tenths(v.temperature));
    Field::putSm16be(p, qRound(v.pressure / 10.0));
    Field::putSm16be(p, v.solutionRate);
    return Frame::build(Imu, p);
}

QByteArray motionFrame(const MotionValues& v) {
    QByteArray p;
    for (const auto* axes : {&v.acc, &v.gyro, &v.mag})
        for (int a : *axes) Field::putSm16be(p, a);
    return Frame::build(Motion, p);
}

QByteArray magRangeFrame(const std::array<int, 3>& max, const std::array<int, 3>& min) {
    QByteArray p;
    for (int a : max) Field::putSm16be(p, a);
    for (int a : min) Field::putSm16be(p, a);
    return Frame::build(MagRange, p);
}

QByteArray accExtremeFrame(int value, quint8 selector) {
    QByteArray p;
    Field::putSm16be(p, value);
    Field::putU8(p, selector);
    return Frame::build(AccExtreme, p);
}

QByteArray configFrame(quint8 frames, quint8 rateCode, quint8 baudCode) {
    QByteArray p;
    Field::putU8(p, frames);
    Field::putU8(p, rateCode);
    Field::putU8(p, baudCode);
    return Frame::build(Config, p);
}

QByteArray configWrittenFrame() {
    return Frame::build(ConfigWritten);
}

QByteArray offsetsFrame(int yaw, int pitch, int roll) {
    QByteArray p;
    Field::putSm16be(p, yaw);
    Field::putSm16be(p, pitch);
    Field::putSm16be(p, roll);
    return Frame::build(Offsets, p);
}

QByteArray offsetsWrittenFrame() {
    return Frame::build(OffsetsWritten);
}

QByteArray pwmInFrame(const std::array<int, 6>& widths) {
    QByteArray p;
    for (int w : widths) Field::putU16be(p, qBound(0, w, 0xFFFF));
    return Frame::build(PwmIn, p);
}

QByteArray pwmOutFrame(const std::array<int, 8>& widths) {
    QByteArray p;
    for (int w : widths) Field::putU16be(p, qBound(0, w, 0xFFFF));
    return Frame::build(PwmOut, p);
}

QByteArray pidTraceFrame(float target, float current, float output) {
    QByteArray p;
    Field::putF32le(p, target);
    Field::putF32le(p, current);
    Field::putF32le(p, output);
    return Frame::build(PidTrace, p);
}

QByteArray pidFrame(int loop, float p, float i, float d) {
    QByteArray pl;
    Field::putF32le(pl, p);
    Field::putF32le(pl, i);
    Field::putF32le(pl, d);
    return Frame::build(static_cast<quint8>(PidFirst + loop - 1), pl);
}

QByteArray gpsFrame(const GpsValues& v) {
    QByteArray p;
    Field::putS32be(p, tenThousandths(v.longitude));
    Field::putS32be(p, tenThousandths(v.latitude));
    Field::putS16be(p, tenths(v.height));
    Field::putU8(p, qBound(0, v.satellites, 255));
    Field::putS16be(p, tenths(v.heading));
    Field::putS16be(p, tenths(v.speed));
    return Frame::build(Gps, p);
}

QByteArray targetFrame(const TargetValues& v) {
    QByteArray p;
    Field::putS32be(p, tenThousandths(v.longitude));
    Field::putS32be(p, tenThousandths(v.latitude));
    Field::putS16be(p, tenths(v.height));
    Field::putS16be(p, tenths(v.distance));
    Field::putS16be(p, tenths(v.xControl));
    Field::putS16be(p, tenths(v.yControl));
    return Frame::build(Target, p);
}

QByteArray statusFrame(const StatusValues& v) {
    QByteArray p;
    Field::putU8(p, v.mode);
    Field::putS16be(p, tenths(v.battery));
    Field::putS16be(p, tenths(v.servo));
    Field::putU8(p, v.errorCode);
    Field::putS16be(p, v.i2cErrors);
    Field::putU16be(p, v.uptime);  // a 16-bit counter: wraps after 18 hours
    return Frame::build(Status, p);
}

QByteArray flowFrame(int x, int y) {
    QByteArray p;
    Field::putSm16be(p, x);
    Field::putSm16be(p, y);
    return Frame::build(Flow, p);
}

}  // namespace Report
