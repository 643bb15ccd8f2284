#pragma once
// The system clock and its short date/time texts; a test fixes the time.
#include <QDateTime>

namespace LocalClock {
QDateTime now();
void setFixed(const QDateTime& t);  // invalid QDateTime restores the real clock
}  // namespace LocalClock
