#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// The row count of TOP checked when the statement runs (a variable or an
// expression may give any value): tsql_top_rows(n) a whole number not below
// zero, tsql_top_percent(p) a share from 0 to 100; those of OFFSET and
// FETCH: tsql_offset_rows(m) not below zero, tsql_fetch_rows(n) above it.
std::span<const FunctionSpec> topCountFunctions();

} // namespace estaciones::db::tsql
