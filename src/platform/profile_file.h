#pragma once
// OSC.ini with desktop profile-file semantics: section and key case-insensitive, value text
// kept exactly as written, at most 254 characters returned; writing creates the file, the
// section or the key as needed and leaves every other line alone.
#include <QByteArray>
#include <QString>

// "" when the file, the section or the key is missing. Blanks around the value and one pair
// of matching quotes around it are dropped, as the desktop's profile reader does.
QString Read_ini(const QString& section, const QString& key, const QString& file);
// Replaces the value in place (the key's spelling and the text before the value stay), or
// adds the key at the end of its section, or adds the section at the end of the file. Line
// breaks in the arguments become blanks, so one call always writes exactly one line.
void Write_ini(const QString& section, const QString& key, const QString& value,
               const QString& file);

// The same on the file's bytes, for tests and the fuzzer. Untouched lines are kept byte for
// byte (CRLF or LF as found, other code pages, comments); added lines take the line break
// the file uses first, LF in a file without one.
namespace ProfileFile {
constexpr int MaxValueLength = 254;
QString readValue(const QByteArray& content, const QString& section, const QString& key);
QByteArray writeValue(const QByteArray& content, const QString& section, const QString& key,
                      const QString& value);
}  // namespace ProfileFile
