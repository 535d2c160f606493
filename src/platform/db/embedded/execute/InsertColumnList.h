#pragma once

#include "platform/db/embedded/parse/Token.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

namespace estaciones::db::sqlite {

// INSERT without a column list into a table with an identity column: the
// server gives the values to the other columns in order, so their list is
// written into the statement (SQLite would count the identity too). Other
// statements come back as they are. `table` is the target as SQLite names it.
tsql::Tokens withIdentitySkipped(SqliteDatabase& database, const tsql::Tokens& tokens,
                                 const QString& table);

} // namespace estaciones::db::sqlite
