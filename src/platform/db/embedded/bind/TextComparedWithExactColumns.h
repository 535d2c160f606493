#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// Money and decimal columns have no affinity in the stored schema (they must
// see a value's every digit), so SQLite would compare them with a text as a
// number with a text, and never find '2.5' equal to 2.5. The server converts
// the text to the column's type by type precedence. This step finds, in one
// SQLite statement, each comparison of such a column (named plainly or by
// its table or alias) with a text literal, a bound parameter or a character
// column: = <> != < > <= >=, [NOT] BETWEEN, [NOT] IN (list) and simple CASE
// col WHEN ...; and wraps the other side in tsql_text_as_number('<type>', x),
// which converts text (235 or 8114 where it is no number) and leaves numbers
// as they are. A constant stays a constant, so an index on the column is
// still used. The statement comes back unchanged when none is found.
QString withTextComparedAsNumbers(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
