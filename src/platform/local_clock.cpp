#include "platform/local_clock.h"

namespace {
QDateTime& fixedTime() {
    static QDateTime t;
    return t;
}
}  // namespace

namespace LocalClock {

QDateTime now() {
    return fixedTime().isValid() ? fixedTime() : QDateTime::currentDateTime();
}

void setFixed(const QDateTime& t) {
    fixedTime() = t;
}

QString shortDate(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-M-d"));
}

QString timeOfDay(const QDateTime& t) {
    return t.toString(QStringLiteral("H:mm:ss"));
}

}  // namespace LocalClock
