#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <memory>

struct sqlite3;

namespace estaciones::db::tsql {

// STRING_AGG as the aggregate tsql_string_agg(value, separator [, key,
// descending]...): the values that are not NULL joined by the separator, in
// the order of the keys (WITHIN GROUP), NULL when there are none. Keys
// compare as the database does: NULL first, numbers by value, text by the
// session's collation. Throws Error when SQLite refuses it.
void registerStringAggregate(sqlite3* db, std::shared_ptr<DialectSettings> settings);

} // namespace estaciones::db::tsql
