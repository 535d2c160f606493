#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// STRING_SPLIT(text, separator) as the table-valued function
// tsql_string_split: one row per piece, in its column `value`; no rows for
// a NULL text; 214 for a separator that is not one character. Throws Error
// when SQLite refuses the module.
void registerStringSplit(sqlite3* db);

} // namespace estaciones::db::tsql
