#pragma once
// The system clock and its short date/time texts; a test fixes the time.
#include <QDateTime>

namespace LocalClock {
QDateTime now();
void setFixed(const QDateTime& t);  // invalid QDateTime restores the real clock
// The short date and the time of day as the target systems write them, in year-month-day and
// hour:minute:second order without padding of the leading field: "2014-5-3", "9:05:07".
QString shortDate(const QDateTime& t);
QString timeOfDay(const QDateTime& t);
}  // namespace LocalClock
