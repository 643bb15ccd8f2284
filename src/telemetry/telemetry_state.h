#pragma once
// The newest decoded attitude, altitude and raw sensor values, shared by the decoders, the
// display tick, the attitude indicator and the CSV recorder. One per main window.
#include <QString>
#include <QtGlobal>

struct TelemetryState {
    // ReportIMU, degrees and metres.
    double Yaw = 0;
    double Pitch = 0;
    double Roll = 0;
    double Altitude = 0;
    // ReportMotion, raw counts.
    double AccX = 0, AccY = 0, AccZ = 0;
    double GyroX = 0, GyroY = 0, GyroZ = 0;
    double MagX = 0, MagY = 0, MagZ = 0;

    // Set by the receiver after a frame was decoded, cleared by the display tick, so the
    // slow views redraw at most once per tick however fast frames come.
    bool ImuUpdated = false;
    bool MotionUpdated = false;
    // ReportIMU frames since the one-second tick last showed and cleared it.
    qint16 ImuFrameCount = 0;
    // The nine ReportMotion values in row form, for the combined log rows; the main window's
    // start-up sets it to StartupMotionText.
    QString MotionText;

    static constexpr const char* StartupMotionText = "0,0,0,0,0,0,0,0,0";
};
