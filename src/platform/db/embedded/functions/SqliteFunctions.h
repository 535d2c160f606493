#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <memory>

struct sqlite3;

namespace estaciones::db::tsql {

// Collation of text columns and of text comparisons the translator marks:
// case and trailing blanks never count, accents as the settings say.
inline constexpr const char* textCollation = "tsql_text";
// Collation of date columns: both sides read as dates ('5/3/2024' equals
// '2024-03-05 00:00:00'); text that is no date compares as text.
inline constexpr const char* dateCollation = "tsql_date";

// Registers on `db` the functions the translated statements call (tsql_*),
// the two collations, and a `like` with SQL Server's rules. Every
// connection needs it before running translated SQL or reading a schema
// that names them. `settings` is read on every call, so changes apply at
// once. Throws Error when SQLite refuses a registration.
void registerFunctions(sqlite3* db, std::shared_ptr<DialectSettings> settings);

} // namespace estaciones::db::tsql
