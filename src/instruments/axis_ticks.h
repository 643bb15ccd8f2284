#pragma once
// Tick positions and labels for instrument scales and chart axes: steps of 1, 2 or 5 times
// a power of ten, or clock steps (seconds, minutes, hours) for a time-of-day axis.
#include <QString>

struct AxisTicks {
    double first = 0;  // first tick at or above the range's low end
    double step = 1;
    int count = 0;     // ticks inside the range
    int decimals = 0;  // digits after the point that tell the ticks apart

    double at(int i) const { return first + step * i; }
};

// The ticks at multiples of `step` (> 0) inside [lo, hi].
[[nodiscard]] AxisTicks ticksWithStep(double lo, double hi, double step);
// A 1-2-5 step near `rawStep` (rawStep > 0), never smaller than it.
[[nodiscard]] double niceStep(double rawStep);
// At most about `maxTicks` ticks over [lo, hi].
[[nodiscard]] AxisTicks niceTicks(double lo, double hi, int maxTicks);
// The same for an axis in seconds labelled hh:mm:ss: steps of 1, 2, 5, 10, 15, 30 s, 1, 2,
// 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h.
[[nodiscard]] AxisTicks clockTicks(double lo, double hi, int maxTicks);

[[nodiscard]] QString tickText(double value, int decimals);
// Seconds since a midnight as hh:mm:ss (with `decimals` fraction digits for steps below a
// second), wrapping at 24 hours.
[[nodiscard]] QString clockText(double seconds, int decimals = 0);
