#pragma once

#include <QString>

#include <optional>

struct sqlite3;

namespace estaciones::db::sqlite {

// SELECT ... INTO t reaches SQLite as CREATE TABLE t AS SELECT ..., whose
// columns SQLite declares only by affinity ("NUM", "TEXT"): money would read
// back as text and dates as strings. This gives the same statement as a
// CREATE TABLE with the query's own column declarations and an INSERT, as
// SQL Server copies the types; any other statement comes back unchanged.
// Its money and decimal columns get their store triggers (StoredColumns.h)
// when `storeTriggers`; a table that only passes rows on needs none.
QString withDeclaredColumns(sqlite3* db, const QString& statement, bool storeTriggers = true);

// The identity column the new table of a SELECT ... INTO statement (as
// above, before withDeclaredColumns) inherits: an identity column
// selected once and alone, from one table, without joins, grouping,
// aggregates or UNION. nullopt for any other statement.
struct InheritedIdentity {
    QString table;  // the new table
    QString column; // its name there
    qint64 seed = 1;
    qint64 step = 1;
};
std::optional<InheritedIdentity> inheritedIdentity(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
