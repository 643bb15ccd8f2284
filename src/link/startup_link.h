#pragma once
// The port number and settings string start-up takes from OSC.ini's Port and Settings texts.
#include <QString>

struct StartupLink {
    int port = 1;
    QString settings;
    // Both keys were there but at least one is unusable: the defaults replace both and the
    // window logs startupFallbackMessage().
    bool fellBack = false;
};

// Both texts non-empty and usable: the file's values (Settings unchanged). Either text
// empty: COM1 and 115200,n,8,1, silently. A Port that is not a whole number of at least 1
// (blanks around it allowed) or a Settings that is not "baud,n,data,stop": the same defaults,
// fellBack set.
[[nodiscard]] StartupLink startupLink(const QString& portText, const QString& settingsText);

// One log line naming what the file held and what is used instead.
[[nodiscard]] QString startupFallbackMessage(const QString& portText, const QString& settingsText);
