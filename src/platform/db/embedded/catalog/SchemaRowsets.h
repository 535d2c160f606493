#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

namespace estaciones::db::sqlite {

// OpenSchema's rowsets for one database: tables (TABLE_CATALOG, TABLE_SCHEMA,
// TABLE_NAME, TABLE_TYPE) and columns (TABLE_CATALOG, TABLE_SCHEMA,
// TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION, COLUMN_HASDEFAULT,
// COLUMN_DEFAULT, IS_NULLABLE, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH,
// NUMERIC_PRECISION, NUMERIC_SCALE), filtered by the restrictions in that
// order; names compared ignoring case, Empty or Null restricting nothing.
ResultSet tablesRowset(SqliteDatabase& database, const std::vector<Variant>& restrictions);
ResultSet columnsRowset(SqliteDatabase& database, const std::vector<Variant>& restrictions);

} // namespace estaciones::db::sqlite
