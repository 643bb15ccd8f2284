#pragma once
// What the ReportIMU / ReportMotion decoders write besides TelemetryState: the main window's
// labels and instruments, addressed by their control names, and the CSV recorder's row hooks.
// The main window implements it and routes each name to its control.
#include <QString>
#include <array>

// The values of one complete ReportIMU frame, in the units the window shows.
struct ImuReadings {
    double Yaw = 0, Pitch = 0, Roll = 0;  // degree
    double Altitude = 0;                  // metre
    double Temperature = 0;               // degree Celsius
    double Pressure = 0;                  // pascal (the frame's field times 10)
};

// The nine raw counts of one complete ReportMotion frame, in payload order.
struct MotionReadings {
    enum Axis { AccX, AccY, AccZ, GyroX, GyroY, GyroZ, MagX, MagY, MagZ, Count };
    std::array<double, Count> values{};

    // "ax,ay,az,gx,gy,gz,mx,my,mz" as plain numbers: the motion part of a log row and of
    // TelemetryState::MotionText.
    QString rowText() const;
};

class TelemetrySink {
public:
    virtual ~TelemetrySink() = default;

    // Caption of a text label: Label3, Label5 ... Label18, Label24, iLabelX1.
    virtual void setText(const QString& control, const QString& text) = 0;
    // Value of an instrument: iLedBarX1 (altitude, 0 to 200), iThermometerX1 (0 to 50).
    virtual void setValue(const QString& control, double value) = 0;
    // Swap the lit state of a two-state lamp: iLedRectangleX3 blinks with ReportIMU.
    virtual void toggle(const QString& control) = 0;

    // Row hooks of the CSV recorder, run last, only for frames that held every field: a row
    // must not mix a short frame's values with the previous frame's. The recorder decides on
    // its mode whether to write a row and whether to keep the motion text.
    virtual void imuRow(const ImuReadings& row) { Q_UNUSED(row); }
    virtual void motionRow(const MotionReadings& row) { Q_UNUSED(row); }
};
