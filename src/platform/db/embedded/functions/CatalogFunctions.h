#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// The functions the catalogue views and their T-SQL functions use: a
// declared type's system_type_id, max_length, precision and scale as the
// server documents them (sys.types, sys.columns), COL_LENGTH, COL_NAME and
// COLUMNPROPERTY. Throws Error when SQLite refuses a registration.
void registerCatalogFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
