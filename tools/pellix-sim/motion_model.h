#pragma once
// The simulated module's physical state: a smooth attitude, altitude and temperature as
// functions of time, and the sensor directions that belong to that attitude.
//
// Body axes: x forward, y right, z down; yaw, pitch and roll are applied in that order
// (heading, then nose up, then right wing down). The accelerometer of this module reports the
// gravity direction in body axes, so a level module reads +1 g on z; the magnetometer reports
// the earth's field in body axes; the gyroscope the body rates about x, y and z.
#include <QtGlobal>

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

struct Attitude {
    double yaw = 0;    // degrees, -180 to 180
    double pitch = 0;  // degrees
    double roll = 0;   // degrees, -180 to 180
};

class MotionModel {
public:
    enum class Motion {
        Moving,  // a module carried about: slow turn, gentle pitching and rolling
        Still,   // a module at rest on the bench
    };
    explicit MotionModel(Motion motion = Motion::Moving) : m_motion(motion) {}

    Motion motion() const { return m_motion; }
    [[nodiscard]] Attitude attitude(double tMs) const;
    [[nodiscard]] Vec3 bodyRates(double tMs) const;      // degrees per second
    [[nodiscard]] double altitude(double tMs) const;     // metres above sea level
    [[nodiscard]] double temperature(double tMs) const;  // degrees Celsius

    // While the magnetometer is calibrated the user turns the module through wide angles;
    // the motion blends in and out over a second.
    void setTumbling(bool on, double tMs);
    bool tumbling() const { return m_tumbleTarget > 0.5; }

    [[nodiscard]] static double pressureAt(double altitude);     // pascal, standard atmosphere
    [[nodiscard]] static Vec3 gravityInBody(const Attitude& a);  // unit vector
    [[nodiscard]] static Vec3 fieldInBody(const Attitude& a);    // unit vector
    // The yaw that a tilt-compensated compass computes from a field seen in body axes.
    [[nodiscard]] static double headingFrom(const Vec3& field, const Attitude& tilt);

    static constexpr double FieldInclination = 50.0;  // degrees below the horizon

private:
    double tumbleWeight(double tMs) const;
    double stillYawTurn(double tMs) const;
    Motion m_motion;
    double m_tumbleFrom = 0;
    double m_tumbleTarget = 0;
    double m_tumbleSince = -1e12;
    double m_yawTurnAtSwitch = 0;
};

[[nodiscard]] double wrapDegrees(double a);  // into -180 .. 180
