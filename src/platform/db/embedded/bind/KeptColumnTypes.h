#pragma once

#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <functional>

struct sqlite3;

namespace estaciones::db::sqlite {

// The type of a named column of a query of its own (a view's, a derived
// table's, a common table expression's), worked out by `type` the first time
// and kept by the connection under the schema stamp: the catalogue's views
// are unions of many queries, and every statement that reads one of their
// columns asks again. `key` names the query (its text, or the view it is the
// definition of); a handle without an open database keeps nothing.
SqliteDatabase::QueryColumnType
keptColumnType(sqlite3* db, const QString& key, const QString& column,
               const std::function<SqliteDatabase::QueryColumnType()>& type);

} // namespace estaciones::db::sqlite
