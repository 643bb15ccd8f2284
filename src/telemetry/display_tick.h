#pragma once
// The 40 ms display tick: frames only store values and raise ImuUpdated / MotionUpdated; the
// tick turns the newest values into at most one attitude point and one sensor point for the
// strip chart, the attitude indicator's texts, the compass and the 3-D window's values,
// however many frames arrived since the last tick.
#include <QString>
#include <array>
#include <optional>

#include "telemetry/telemetry_state.h"

namespace DisplayTick {

// Entries of the decay lists "1", "1/2" ... "1/100" and the divisor each stands for.
inline constexpr std::array<int, 7> DecayDivisor = {1, 2, 5, 10, 20, 50, 100};
inline constexpr std::array<const char*, 7> DecayEntries = {"1",    "1/2",  "1/5",  "1/10",
                                                            "1/20", "1/50", "1/100"};
// A list with no entry selected (typed text) plots the values undivided.
[[nodiscard]] int divisor(int listIndex);

struct ChartPoint {
    int channel;
    double value;
};

struct AttitudeUpdate {
    QString bank;   // Draw_attitude's bank text: the roll negated, shortest form
    QString pitch;  // Draw_attitude's pitch text
    double yaw;     // the compass
    std::array<ChartPoint, 3> points;  // roll (1), pitch (2), yaw (0), in this order
    QString Label19, Label20, Label21;  // "航向:", "俯仰:", "横滚:" with one decimal
    // For the 3-D window: Pitch, Roll (negated), Yaw and their texts (roll not negated).
    double Pitch3D, Roll3D, Yaw3D;
    QString str_pitch, str_roll, str_yaw;
};

struct SensorUpdate {
    std::array<ChartPoint, 9> points;  // channels 3 to 11 in order
    // str_Xjiasudu ... str_Zcichang of the 3-D window, shortest form, payload order.
    std::array<QString, 9> texts3D;
    // Label29 ... Label34: acceleration in g and angular rate in dps, three decimals.
    std::array<QString, 6> labels;
};

// Step 1: only when ImuUpdated is set; clears it.
[[nodiscard]] std::optional<AttitudeUpdate> takeAttitude(TelemetryState& state, int combo1Index);
// Step 2: only when MotionUpdated is set; clears it.
[[nodiscard]] std::optional<SensorUpdate> takeSensors(TelemetryState& state, int combo2Index,
                                                      int combo3Index, int combo4Index,
                                                      double accResolution, double gyroResolution);

// The one-second tick: "<n> 帧每秒", and the count starts again.
[[nodiscard]] QString takeFrameRate(TelemetryState& state);

}  // namespace DisplayTick
