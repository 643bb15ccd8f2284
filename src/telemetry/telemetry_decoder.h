#pragma once
// Decoders of the module's telemetry frames ReportIMU (0xA1: attitude, altitude, temperature,
// pressure, solution rate) and ReportMotion (0xA2: raw accelerometer, gyroscope,
// magnetometer). Both read an RxFrame (index 0 length, 1 type, payload from 2, checksum
// last), write TelemetryState and tell the sink (may be nullptr) what to show.
// Every field is a 16-bit sign-and-magnitude value, high byte first. A frame shorter than its
// layout decodes the fields it holds completely; the others, and the labels that show them,
// keep their last values.
#include <QByteArray>

#include "telemetry/telemetry_sink.h"
#include "telemetry/telemetry_state.h"

class TelemetrySink;

void Decode_IMU(const QByteArray& rxFrame, TelemetryState& state, TelemetrySink* sink);
void Decode_Motion(const QByteArray& rxFrame, TelemetryState& state, TelemetrySink* sink);
