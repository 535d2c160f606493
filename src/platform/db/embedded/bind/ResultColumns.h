#pragma once

#include "platform/db/Engine.h"

struct sqlite3_stmt;

namespace estaciones::db::sqlite {

// The columns of a prepared statement, with base table and column, nullability
// and identity where the column comes straight from a table; expression
// columns take the type they inherit (see QueryTyping), else their first value's.
std::vector<ColumnInfo> describeColumns(sqlite3_stmt* statement);

} // namespace estaciones::db::sqlite
