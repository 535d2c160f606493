#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// The operators whose results SQLite would give differently: '+' of operands
// typed only at run time, and '/' and '%', which end the statement with 8134
// on a zero divisor where SQLite answers NULL.
std::span<const FunctionSpec> arithmeticFunctions();

} // namespace estaciones::db::tsql
