#pragma once

#include "platform/db/Engine.h"

#include <QString>

namespace estaciones::db {

// A date or time value as the server's command-line client prints it for
// its column's type: date 2024-01-07, time with its scale (7 when the column
// says none), datetime2(n) at n digits, smalldatetime to the second and
// datetime (or a column that describes nothing) to the millisecond.
QString dateCellText(const DateTimeValue& value, const ColumnInfo& column);

} // namespace estaciones::db
