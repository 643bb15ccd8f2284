#pragma once
// Where the port choice lives in OSC.ini. Both programs read and write the same section and
// keys, so two programs installed in one directory share the port.
#include <QString>

#include "platform/program_dir.h"

namespace LinkIni {
inline const QString Section = QStringLiteral("COM");
inline const QString PortKey = QStringLiteral("Port");
inline const QString SettingsKey = QStringLiteral("Settings");
inline constexpr int DefaultPort = 1;

inline QString file() {
    return ProgramDir::file(QStringLiteral("OSC.ini"));
}
}  // namespace LinkIni
