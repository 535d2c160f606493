#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// Brings the database file open on `db` (the engine's functions registered)
// to currentFormatVersion (storage/FormatVersion.h):
//  - a new file is marked with it;
//  - a file of an older version is first copied beside itself
//    ("<name>.v<its version>.bak", never over an existing copy) and then converted in one
//    transaction that holds the write lock, so another station waits for it
//    and nobody reads it half converted; a process killed meanwhile leaves
//    the old file, which the next open converts;
//  - a file of a newer version is refused.
// `file` is the path of the file, `database` its name in messages. Throws
// ProviderFailure with a Spanish text.
void bringToCurrentFormat(sqlite3* db, const QString& file, const QString& database);

// The version recorded in the file open on `db`.
int formatVersionOf(sqlite3* db);

} // namespace estaciones::db::sqlite
