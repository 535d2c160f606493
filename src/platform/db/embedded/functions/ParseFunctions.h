#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

namespace estaciones::db::tsql {

// PARSE(text AS type USING culture) and TRY_PARSE (tsql_parse('type', text,
// culture), tsql_try_parse): numbers with the culture's separators and
// currency; dates in the culture's day-month order, with month and day
// names, and an optional time. PARSE fails with 9819 where TRY_PARSE gives
// NULL; 9818 for an unknown culture.
std::span<const FunctionSpec> parseFunctions();

} // namespace estaciones::db::tsql
