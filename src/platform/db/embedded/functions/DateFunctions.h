#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// DATENAME, DATEPART, DATEADD, DATEDIFF, GETDATE, GETUTCDATE, the clocks,
// SWITCHOFFSET, TODATETIMEOFFSET, ISDATE and
// what a date column keeps (tsql_store_date), in the session's language and
// date order.
std::span<const FunctionSpec> dateFunctions();

// The type a date function's argument stands for, and its digits of a
// second: a stored text keeps its type's form (a day alone, a time,
// datetime2's digits other than three, a datetimeoffset's offset); seconds
// with three digits, and text in any other form, are a datetime.
std::pair<DateKind, int> kindOfDateText(const SqlValue& value);

// A datetimeoffset made from the value `source`: at its digits of a second,
// refused (241) when the local or the UTC time leaves the calendar.
SqlValue datetimeoffsetOf(const PreciseDateTime& value, const SqlValue& source);

} // namespace estaciones::db::tsql
