#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// SELECT ... INTO t reaches SQLite as CREATE TABLE t AS SELECT ..., whose
// columns SQLite declares only by affinity ("NUM", "TEXT"): money would read
// back as text and dates as strings. This gives the same statement as a
// CREATE TABLE with the query's own column declarations and an INSERT, as
// SQL Server copies the types; any other statement comes back unchanged.
QString withDeclaredColumns(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
