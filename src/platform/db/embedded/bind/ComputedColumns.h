#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// A computed column reaches SQLite as a generated column without a type,
// whose values SQLite would give as it computes them (money * int as a
// double). The server types the column by its expression: this declares
// each such column of a CREATE TABLE or ALTER TABLE ... ADD COLUMN with the
// type its expression has over the table (see QueryTyping), and writes the
// expression as a select list's would be (money and decimal arithmetic on
// exact digits). The table must exist: the statement has been run for the
// while, or it adds a column. Any other statement, and a column whose type
// cannot be told, comes back unchanged.
QString withTypedComputedColumns(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
