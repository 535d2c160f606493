#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::db::tsql {

// How a column of a type that needs it keeps its values in the stored form
// (StoredDate.h for dates; money and decimal at their scale; real in single
// precision; char(n) filled with blanks, binary(n) with zeros, binary lengths
// checked): two triggers that rewrite what an INSERT or an UPDATE put in.

// The SQL expression giving the stored form of `value` for a column of T-SQL
// type `tsqlType` ("datetime", "datetime2(3)", "money", "decimal(18,2)"), or
// nullopt when the type keeps values as they come.
std::optional<QString> storedFormExpression(const QString& tsqlType, const QString& value);

// The triggers of column `column` of `table` (temporary for #tables); none
// when the type needs none.
QStringList storeTriggers(const QString& table, const QString& column, const QString& tsqlType);
// The name of one of them, unquoted; `event` is "i" (INSERT) or "u" (UPDATE).
QString storeTriggerName(const QString& table, const QString& column, const char* event);
// DROP statements for them.
QStringList dropStoreTriggers(const QString& table, const QString& column);

} // namespace estaciones::db::tsql
