#include "telemetry/display_tick.h"

#include "protocol/number_text.h"

namespace DisplayTick {

int divisor(int listIndex) {
    if (listIndex < 0 || listIndex >= int(DecayDivisor.size())) return 1;
    return DecayDivisor[listIndex];
}

std::optional<AttitudeUpdate> takeAttitude(TelemetryState& s, int combo1Index) {
    if (!s.ImuUpdated) return std::nullopt;
    s.ImuUpdated = false;
    const double d = divisor(combo1Index);
    AttitudeUpdate u{
        .bank = NumberText::plainNumber(-s.Roll),
        .pitch = NumberText::plainNumber(s.Pitch),
        .yaw = s.Yaw,
        .points = {{{1, s.Roll / d}, {2, s.Pitch / d}, {0, s.Yaw / d}}},
        .Label19 = QStringLiteral("航向:") + NumberText::oneDecimal(s.Yaw),
        .Label20 = QStringLiteral("俯仰:") + NumberText::oneDecimal(s.Pitch),
        .Label21 = QStringLiteral("横滚:") + NumberText::oneDecimal(s.Roll),
        .Pitch3D = s.Pitch,
        .Roll3D = -s.Roll,
        .Yaw3D = s.Yaw,
        .str_pitch = NumberText::oneDecimal(s.Pitch),
        .str_roll = NumberText::oneDecimal(s.Roll),
        .str_yaw = NumberText::oneDecimal(s.Yaw),
    };
    return u;
}

std::optional<SensorUpdate> takeSensors(TelemetryState& s, int combo2Index, int combo3Index,
                                        int combo4Index, double accResolution,
                                        double gyroResolution) {
    if (!s.MotionUpdated) return std::nullopt;
    s.MotionUpdated = false;
    const double raw[9] = {s.AccX,  s.AccY,  s.AccZ, s.GyroX, s.GyroY,
                           s.GyroZ, s.MagX, s.MagY, s.MagZ};
    const int div[3] = {divisor(combo2Index), divisor(combo3Index), divisor(combo4Index)};
    SensorUpdate u;
    for (int i = 0; i < 9; ++i) {
        u.points[i] = {3 + i, raw[i] / div[i / 3]};
        u.texts3D[i] = NumberText::plainNumber(raw[i]);
    }
    static const char* const prefix[6] = {"AX: ", "AY: ", "AZ: ", "GX: ", "GY: ", "GZ: "};
    for (int i = 0; i < 6; ++i) {
        const bool acc = i < 3;
        const double v = raw[i] / (acc ? accResolution : gyroResolution);
        u.labels[i] = QString::fromUtf8(prefix[i]) + NumberText::threeDecimals(v) +
                      (acc ? QStringLiteral(" g") : QStringLiteral(" dps"));
    }
    return u;
}

QString takeFrameRate(TelemetryState& s) {
    const QString text = QString::number(s.ImuFrameCount) + QStringLiteral(" 帧每秒");
    s.ImuFrameCount = 0;
    return text;
}

}  // namespace DisplayTick
