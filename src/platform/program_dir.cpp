#include "platform/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& overrideDir() {
    static QString dir;
    return dir;
}
}  // namespace

namespace ProgramDir {

QString path() {
    if (!overrideDir().isEmpty()) return overrideDir();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    // Pure-logic tests run without an application object.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

QString file(const QString& name) {
    return path() + u'/' + name;
}

void setOverride(const QString& dir) {
    overrideDir() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

}  // namespace ProgramDir
