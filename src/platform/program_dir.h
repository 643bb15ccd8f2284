#pragma once
// The directory of the program itself (OSC.ini, ports/, the 3-D model). A test points it
// at a temporary directory.
#include <QString>

namespace ProgramDir {
QString path();
QString file(const QString& name);     // path() + "/" + name
void setOverride(const QString& dir);  // "" restores the real one
}  // namespace ProgramDir
