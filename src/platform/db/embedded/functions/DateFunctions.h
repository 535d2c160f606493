#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// DATENAME, DATEPART, DATEADD, DATEDIFF, GETDATE, GETUTCDATE, ISDATE and
// what a date column keeps (tsql_store_date), in the session's language and
// date order.
std::span<const FunctionSpec> dateFunctions();

} // namespace estaciones::db::tsql
