#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/storage/StoredDate.h"

struct sqlite3_context;
struct sqlite3_stmt;
struct sqlite3_value;

namespace estaciones::db::sqlite {

// A column declaration ("varchar(50)", "money", "decimal(18,2)", ...) as ADO
// reports it: DataTypeEnum code, DefinedSize, precision and scale.
ColumnInfo columnInfoFromDeclaration(const QString& name, const QString& declaration);
// A date column's precision (its characters) and scale (its fraction's
// digits), as the server describes datetime2(n), time(n) and the others.
void setDatePrecision(ColumnInfo& info, tsql::DateKind kind, int digits);

// Column `index` of the current row as the Variant the declared type gives
// (dates as dates, bit as Boolean, money as Currency, ...).
Variant readValue(sqlite3_stmt* statement, int index, const ColumnInfo& column);
// The same of a value SQLite passes a function.
Variant readValue(sqlite3_value* value, const ColumnInfo& column);

// How a Variant is bound to a statement parameter.
void bindValue(sqlite3_stmt* statement, int index, const Variant& value);
// ... and how it becomes a function's result.
void resultValue(sqlite3_context* context, const Variant& value);

// A bound date as text: "yyyy-MM-dd HH:mm:ss[.fff]", or "yyyy-MM-dd" when
// the time is midnight; a date column's store trigger gives it the column's form.
QString storedDate(const DateTimeValue& value);
// A stored date text read back (StoredDate.h's forms, without a regular expression).
std::optional<DateTimeValue> parseStoredDate(const QString& text);
std::optional<DateTimeValue> storedDateValue(const char* text, int length);

} // namespace estaciones::db::sqlite
