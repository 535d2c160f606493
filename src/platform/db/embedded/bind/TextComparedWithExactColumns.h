#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::sqlite {

// Money and decimal columns have no affinity in the stored schema (they must
// see a value's every digit), so SQLite would compare them with a text as a
// number with a text, and never find '2.5' equal to 2.5. The server converts
// the text to the exact type by type precedence. This step finds, in one
// SQLite statement, each comparison of a money or decimal value with a text
// or a value that may be text: = <> != < > <= >=, [NOT] BETWEEN, [NOT] IN
// (list or subquery) and simple CASE x WHEN ...; either side may be a column
// (of a table, a view, a derived table or a common table expression, found
// in the comparison's own query block or the blocks around it), a literal, a
// parameter, a conversion, CASE, COALESCE or ISNULL. The text side is wrapped
// in tsql_text_as_number('<type>', x), which converts text (235 or 8114 where
// it is no number) and leaves numbers as they are. A constant stays a
// constant, so an index on the column is still used. A binary value meeting
// a whole number the same way is wrapped in tsql_convert('<int type>', x):
// binary is the lowest type, and SQLite finds a blob greater than any number.
// The statement comes back unchanged when none is found.
QString withTextComparedAsNumbers(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
