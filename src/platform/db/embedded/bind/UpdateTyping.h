#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// An UPDATE as SQLite runs it, with the queries of its FROM clause typed as
// any query is (a joined UPDATE finds its rows and new values in one), and
// each DATALENGTH of a column or an expression elsewhere given its
// argument's declared type: the SET list and the WHERE clause read the
// table's (and the FROM clause's) columns, which SQLite hands to the
// function without their types (an nvarchar value takes two bytes a
// character). Any other text comes back unchanged.
QString withTypedDataLengths(sqlite3* db, const QString& update);

} // namespace estaciones::db::sqlite
