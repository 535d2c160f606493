#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace estaciones::db::tsql {

// tsql_alter_column(table, column, new column SQL, new T-SQL type, not null):
// ALTER TABLE ... ALTER COLUMN as the server does it. Refuses what depends
// on the column where the server refuses it (5074), values the new type
// cannot hold (8152, 515, conversion errors) and changes nothing then;
// otherwise the table's definition takes the new column, keeping its
// default, and the values are converted where their storage changes.
// Throws schema_access::ServerFailure.
void alterColumn(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// tsql_refuse_dropped_column(table, column): before ALTER TABLE DROP COLUMN,
// 5074 naming a constraint, default or index that depends on the column.
void refuseDroppedColumn(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// The column's default goes (ALTER TABLE DROP CONSTRAINT of a default): the
// trigger that gives it, or the DEFAULT clause of its definition.
void removeColumnDefault(sqlite3* db, const QString& table, const QString& column);

} // namespace estaciones::db::tsql
