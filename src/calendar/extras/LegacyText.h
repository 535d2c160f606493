#pragma once

#include <QByteArray>
#include <QString>

namespace estaciones::calendar::extras {

// The text of a file that should be UTF-8 but may come from an older Windows
// program: bytes that are not valid UTF-8 are read as Windows-1252 (a
// superset of Latin-1 in practice), so "Día" survives either way. A UTF-8
// byte order mark is dropped.
QString textOfFile(const QByteArray& bytes);

// The Windows-1252 reading of `bytes` (the five unassigned bytes as U+FFFD).
QString fromWindows1252(const QByteArray& bytes);

} // namespace estaciones::calendar::extras
