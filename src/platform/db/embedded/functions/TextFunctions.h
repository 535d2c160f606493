#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <memory>

struct sqlite3;

namespace estaciones::db::tsql {

// Text and date-building built-ins the scripts use that SQLite lacks or
// answers differently: PATINDEX, STUFF, REVERSE, DATALENGTH, CONCAT,
// CONCAT_WS, CHOOSE, EOMONTH, QUOTENAME, TRANSLATE, CHECKSUM (tsql_*).
// Throws Error when SQLite refuses a registration.
void registerTextFunctions(sqlite3* db, std::shared_ptr<DialectSettings> settings);

} // namespace estaciones::db::tsql
