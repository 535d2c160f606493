#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// An UPDATE as SQLite runs it, with each DATALENGTH of a column or an
// expression given its argument's declared type, as in a query: the SET
// list and the WHERE clause read the table's (and the FROM clause's)
// columns, which SQLite hands to the function without their types (an
// nvarchar value takes two bytes a character). Any other text comes back
// unchanged.
QString withTypedDataLengths(sqlite3* db, const QString& update);

} // namespace estaciones::db::sqlite
