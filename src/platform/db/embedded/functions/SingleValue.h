#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// tsql_single_value(x): the aggregate a scalar subquery's value goes
// through, so that a subquery giving more than one row ends the statement
// with 512 as the server's does, where SQLite would take the first row.
// No row gives NULL.
void registerSingleValue(sqlite3* db);

} // namespace estaciones::db::tsql
