#pragma once

#include "platform/db/Engine.h"

struct sqlite3_stmt;

namespace estaciones::db::sqlite {

// A column declaration ("varchar(50)", "money", "decimal(18,2)", ...) as ADO
// reports it: DataTypeEnum code, DefinedSize, precision and scale.
ColumnInfo columnInfoFromDeclaration(const QString& name, const QString& declaration);

// Column `index` of the current row as the Variant the declared type gives
// (dates as dates, bit as Boolean, money as Currency, ...).
Variant readValue(sqlite3_stmt* statement, int index, const ColumnInfo& column);

// How a Variant is bound to a statement parameter.
void bindValue(sqlite3_stmt* statement, int index, const Variant& value);

// Dates as the database stores them: "yyyy-MM-dd HH:mm:ss", or "yyyy-MM-dd"
// when the time is midnight.
QString storedDate(const DateTimeValue& value);
std::optional<DateTimeValue> parseStoredDate(const QString& text);

} // namespace estaciones::db::sqlite
