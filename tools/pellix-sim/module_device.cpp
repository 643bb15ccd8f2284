#include "module_device.h"

#include "protocol/fields.h"

namespace {
constexpr int Rates[] = {200, 120, 100, 80, 50, 20, 10, 1};
constexpr int Bauds[] = {4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
}  // namespace

int rateForCode(int code) {
    return code >= 1 && code <= 8 ? Rates[code - 1] : 0;
}

int codeForRate(int hz) {
    for (int i = 0; i < 8; ++i)
        if (Rates[i] == hz) return i + 1;
    return 0;
}

int baudForCode(int code) {
    return code >= 0 && code <= 7 ? Bauds[code] : 0;
}

ModuleDevice::ModuleDevice(MotionModel::Motion motion, quint32 seed) : m_imu(motion, seed) {
    m_telemetry.start(rateForCode(m_config.rateCode), 0);
    m_parser.onFrame = [this](const QByteArray& f) {
        if (received) received(f, true);
        handleFrame(f, m_now);
    };
    m_parser.onJunk = [this](const QByteArray& j) {
        if (received) received(j, false);
    };
    m_loader.send = [this](const QByteArray& b) { emitFrame(b); };
    m_loader.received = [this](const QByteArray& b, bool understood) {
        if (received) received(b, understood);
    };
    m_loader.note = [this](const QString& t) { tell(t); };
    m_loader.finished = [this] {
        m_parser.reset();
        m_telemetry.start(rateForCode(m_config.rateCode), m_now);
    };
}

void ModuleDevice::setConfig(const ModuleConfig& c, double nowMs) {
    m_config = c;
    m_telemetry.start(rateForCode(c.rateCode), nowMs);
}

void ModuleDevice::receive(const QByteArray& bytes, double nowMs) {
    m_now = nowMs;
    for (char c : bytes) {
        const auto b = static_cast<quint8>(c);
        // In its loader the module listens to the loader protocol only.
        if (m_loader.active())
            m_loader.feed(b, nowMs);
        else
            m_parser.feed(b);
    }
    m_parser.flushJunk();
}

void ModuleDevice::handleFrame(const QByteArray& frame, double nowMs) {
    const auto type = static_cast<quint8>(frame[3]);
    const QByteArray payload = frame.mid(4, frame.size() - 6);
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
            m_magRange.start(MagRangeHz, nowMs);
            tell(QStringLiteral("magnetometer calibration started"));
            break;
        case Command::MagSave:
            if (!m_imu.magCalibrating()) break;
            m_imu.saveMagCalibration(nowMs);
            m_magRange.stop();
            tell(QStringLiteral("magnetometer calibration saved"));
            break;
        case Command::AccStart:
            m_imu.startAccCalibration();
            tell(QStringLiteral("accelerometer calibration started"));
            break;
        case Command::CaptureAccExtreme: {
            int selector;
            // The module knows six extremes; it does not answer for any other selector.
            if (!Field::u8(payload, 0, &selector) || selector > 5) break;
            emitFrame(Report::accExtremeFrame(m_imu.captureAccExtreme(selector),
                                              static_cast<quint8>(selector)));
            break;
        }
        case Command::AccFinish:
            tell(QStringLiteral("accelerometer calibration saved (%1 axes)")
                     .arg(m_imu.finishAccCalibration()));
            break;
        case Command::ReadConfig:
            emitFrame(Report::configFrame(m_config.frames, m_config.rateCode, m_config.baudCode));
            break;
        case Command::WriteConfig:
            writeConfig(payload, nowMs);
            break;
        case Command::ReadOffsets: {
            const auto o = m_imu.offsets();
            emitFrame(Report::offsetsFrame(o[0], o[1], o[2]));
            break;
        }
        case Command::WriteOffsets: {
            int yaw, pitch, roll;
            if (!Field::sm16be(payload, 0, &yaw) || !Field::sm16be(payload, 2, &pitch) ||
                !Field::sm16be(payload, 4, &roll))
                break;
            m_imu.setOffsets(yaw, pitch, roll);
            emitFrame(Report::offsetsWrittenFrame());
            tell(QStringLiteral("offsets yaw %1, pitch %2, roll %3")
                     .arg(yaw / 10.0)
                     .arg(pitch / 10.0)
                     .arg(roll / 10.0));
            break;
        }
        case Command::Loader:
            m_telemetry.stop();
            m_magRange.stop();
            m_imu.cancelMagCalibration(nowMs);  // the restart into the loader loses it
            m_loader.start(nowMs);
            break;
        default:
            break;  // not a command of the module
    }
}

void ModuleDevice::writeConfig(const QByteArray& payload, double nowMs) {
    int frames, rate, baud;
    if (!Field::u8(payload, 0, &frames) || !Field::u8(payload, 1, &rate) ||
        !Field::u8(payload, 2, &baud))
        return;
    // A field outside its range (an unselected list sends 0xFF or 0) keeps its old value.
    ModuleConfig c = m_config;
    if (frames <= ModuleConfig::SensorsOnly) c.frames = static_cast<quint8>(frames);
    if (rateForCode(rate)) c.rateCode = static_cast<quint8>(rate);
    if (baudForCode(baud)) c.baudCode = static_cast<quint8>(baud);
    const bool rateChanged = c.rateCode != m_config.rateCode;
    m_config = c;
    if (rateChanged) m_telemetry.start(rateForCode(c.rateCode), nowMs);
    emitFrame(Report::configWrittenFrame());
    // The new baud rate, as on the real module, waits for a restart; on a pseudo-terminal it
    // changes nothing anyway.
    tell(QStringLiteral("configuration: frames %1, %2 Hz, %3 baud after restart")
             .arg(c.frames)
             .arg(rateForCode(c.rateCode))
             .arg(baudForCode(c.baudCode)));
}

void ModuleDevice::advance(double nowMs) {
    m_now = nowMs;
    if (m_loader.active()) {
        m_loader.advance(nowMs);
        return;
    }
    m_imu.advance(nowMs);
    double t;
    while (m_telemetry.next(nowMs, &t)) {
        if (m_config.frames != ModuleConfig::SensorsOnly) emitFrame(Report::imuFrame(m_imu.imu(t)));
        if (m_config.frames != ModuleConfig::AttitudeOnly)
            emitFrame(Report::motionFrame(m_imu.motion(t)));
    }
    while (m_magRange.next(nowMs, &t)) emitFrame(m_imu.magRangeFrame());
}
