#pragma once
// ReportIMU / ReportMotion frames as the module sends them, for the window tests.
#include <QByteArray>

#include "protocol/fields.h"
#include "protocol/frame.h"

namespace TestFrames {

// Angles, altitude and temperature in tenths, pressure in units of 10 Pa.
inline QByteArray imu(int yaw10, int pitch10, int roll10, int alt10 = 123, int temp10 = 251,
                      int press = 10132, int rate = 200) {
    QByteArray p;
    for (int v : {yaw10, pitch10, roll10, alt10, temp10, press, rate}) Field::putSm16be(p, v);
    return Frame::build(0xA1, p);
}

inline QByteArray motion(int ax, int ay, int az, int gx = 0, int gy = 0, int gz = 0, int mx = 0,
                         int my = 0, int mz = 0) {
    QByteArray p;
    for (int v : {ax, ay, az, gx, gy, gz, mx, my, mz}) Field::putSm16be(p, v);
    return Frame::build(0xA2, p);
}

}  // namespace TestFrames
