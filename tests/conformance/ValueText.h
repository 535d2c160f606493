#pragma once

#include "platform/db/Engine.h"

#include <QString>

namespace estaciones::conformance {

// A value as a case file writes it: NULL, numbers as the server prints them
// (money with its four decimals, decimal at its scale), dates in the
// server's text form for the column's type, texts as they are — quoted
// ('…') when empty, when they have blanks at either end, when they read
// NULL or when they hold the cell separator.
QString valueText(const Variant& value, const db::ColumnInfo& column);

// A result set's rows, cells joined by " | ".
QStringList rowTexts(const db::ResultSet& resultSet);
// Its column names in the same form ('' for a column without a name).
QString headerText(const db::ResultSet& resultSet);

} // namespace estaciones::conformance
