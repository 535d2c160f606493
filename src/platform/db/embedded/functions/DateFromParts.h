#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// The date and time constructors: DATEFROMPARTS, DATETIMEFROMPARTS,
// SMALLDATETIMEFROMPARTS, DATETIME2FROMPARTS, TIMEFROMPARTS and
// DATETIMEOFFSETFROMPARTS (tsql_*fromparts), each giving its type's stored
// text; NULL when a part is NULL, 289 when the parts make no value of the
// type. The fractions of DATETIME2FROMPARTS, TIMEFROMPARTS and
// DATETIMEOFFSETFROMPARTS count in units of their precision (5 at precision
// 1 is half a second).
std::span<const FunctionSpec> dateFromPartsFunctions();

} // namespace estaciones::db::tsql
