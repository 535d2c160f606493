#pragma once

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

} // namespace estaciones::db::tsql
