#pragma once

#include "platform/db/Engine.h"

struct sqlite3_stmt;

namespace estaciones::db::sqlite {

// The columns of a prepared statement, with base table and column, nullability
// and identity where the column comes straight from a table; expression
// columns take the type they inherit (see QueryTyping), else their first value's.
// `typedByValue`, when given, tells whether any column was typed by its value
// (such a description holds for this row only).
std::vector<ColumnInfo> describeColumns(sqlite3_stmt* statement, bool* typedByValue = nullptr);

} // namespace estaciones::db::sqlite
