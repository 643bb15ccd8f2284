#pragma once
// OSC.ini with desktop profile-file semantics: section and key case-insensitive, value text
// kept exactly as written, at most 254 characters returned; writing creates the file, the
// section or the key as needed and leaves every other line alone.
#include <QString>

QString Read_ini(const QString& section, const QString& key, const QString& file);
void Write_ini(const QString& section, const QString& key, const QString& value,
               const QString& file);
