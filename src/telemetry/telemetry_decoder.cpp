#include "telemetry/telemetry_decoder.h"

#include "protocol/number_text.h"
#include "telemetry/rx_payload.h"

using NumberText::oneDecimal;
using NumberText::plainNumber;

namespace {

// ReportIMU fields (RxFrame indices).
constexpr int ImuYaw = 2;
constexpr int ImuPitch = 4;
constexpr int ImuRoll = 6;
constexpr int ImuAltitude = 8;
constexpr int ImuTemperature = 10;
constexpr int ImuPressure = 12;  // units of 10 Pa
constexpr int ImuRate = 14;      // attitude solutions per second
constexpr int ImuEnd = 16;

// ReportMotion: nine raw counts from index 2 on.
constexpr int MotionFirst = 2;
constexpr int MotionEnd = MotionFirst + 2 * MotionReadings::Count;

// Sink calls that do nothing without a sink, so the decoders read as their steps.
class Out {
public:
    explicit Out(TelemetrySink* sink) : m_sink(sink) {}
    void text(const char* control, const QString& text) const {
        if (m_sink) m_sink->setText(QLatin1String(control), text);
    }
    void value(const char* control, double v) const {
        if (m_sink) m_sink->setValue(QLatin1String(control), v);
    }
    void toggle(const char* control) const {
        if (m_sink) m_sink->toggle(QLatin1String(control));
    }
    TelemetrySink* sink() const { return m_sink; }

private:
    TelemetrySink* m_sink;
};

}  // namespace

QString MotionReadings::rowText() const {
    QString t;
    for (int i = 0; i < Count; ++i) {
        if (i) t += u',';
        t += plainNumber(values[i]);
    }
    return t;
}

void Decode_IMU(const QByteArray& rxFrame, TelemetryState& state, TelemetrySink* sink) {
    const RxPayload p(rxFrame);
    const Out out(sink);
    const auto tenths = [&p](int index) -> std::optional<double> {
        if (const auto v = p.sm16be(index)) return *v / 10.0;
        return std::nullopt;
    };

    const auto yaw = tenths(ImuYaw);
    const auto pitch = tenths(ImuPitch);
    const auto roll = tenths(ImuRoll);
    if (yaw) state.Yaw = *yaw;
    if (pitch) state.Pitch = *pitch;
    if (roll) state.Roll = *roll;

    const auto altitude = tenths(ImuAltitude);
    if (altitude) {
        out.value("iLedBarX1", *altitude);
        out.text("Label3", oneDecimal(*altitude) + u'm');
        out.text("Label16", QStringLiteral("高度:") + oneDecimal(*altitude) + u'm');
        state.Altitude = *altitude;
    }

    const auto temperature = tenths(ImuTemperature);
    if (temperature) {
        out.value("iThermometerX1", *temperature);
        out.text("Label17",
                 QStringLiteral("温度:") + oneDecimal(*temperature) + QStringLiteral("度"));
        out.text("iLabelX1", oneDecimal(*temperature) + u'C');
    }

    std::optional<double> pressure;
    if (const auto v = p.sm16be(ImuPressure)) pressure = *v * 10.0;
    if (pressure)
        out.text("Label18",
                 QStringLiteral("气压:") + plainNumber(*pressure) + QStringLiteral("Pa"));

    if (const auto rate = p.sm16be(ImuRate))
        out.text("Label24",
                 QStringLiteral("姿态解算:") + plainNumber(*rate) + QStringLiteral(" 次每秒"));

    // The frame arrived, whatever it held: the lamp blinks and the frame rate counts it.
    out.toggle("iLedRectangleX3");
    if (roll) out.text("Label5", QStringLiteral("Roll:") + oneDecimal(*roll));
    if (pitch) out.text("Label6", QStringLiteral("Pitch:") + oneDecimal(*pitch));
    state.ImuFrameCount = qint16(state.ImuFrameCount + 1);

    if (sink && p.end() >= ImuEnd)
        sink->imuRow({*yaw, *pitch, *roll, *altitude, *temperature, *pressure});
}

void Decode_Motion(const QByteArray& rxFrame, TelemetryState& state, TelemetrySink* sink) {
    static const char* const labels[MotionReadings::Count] = {"Label7",  "Label8",  "Label9",
                                                              "Label10", "Label11", "Label12",
                                                              "Label13", "Label14", "Label15"};
    static const char* const prefixes[MotionReadings::Count] = {
        " AX:", " AY:", " AZ:", " GX:", " GY:", " GZ:", " MX:", " MY:", " MZ:"};
    double* const fields[MotionReadings::Count] = {&state.AccX,  &state.AccY,  &state.AccZ,
                                                   &state.GyroX, &state.GyroY, &state.GyroZ,
                                                   &state.MagX,  &state.MagY,  &state.MagZ};

    const RxPayload p(rxFrame);
    const Out out(sink);
    MotionReadings row;
    for (int i = 0; i < MotionReadings::Count; ++i) {
        const auto v = p.sm16be(MotionFirst + 2 * i);
        if (!v) break;  // the fields after a missing one are missing too
        *fields[i] = *v;
        row.values[i] = *v;
        out.text(labels[i], QLatin1String(prefixes[i]) + plainNumber(*v));
    }

    if (sink && p.end() >= MotionEnd) sink->motionRow(row);
}
