#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// An INSERT or UPDATE that puts a number into a char, varchar, nchar or
// nvarchar column converts it to the column's type as the server does, by the
// number's type: money with two decimals, a decimal at its scale, a float or
// real in six digits at most, and the server's error when that text is longer
// than the column (SQLite would keep the double's digits as they come). The
// translated statement with each such value written as its conversion;
// unchanged when it has none.
QString withNumbersAsColumnText(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
