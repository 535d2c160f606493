#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// CAST and CONVERT (tsql_convert), ROUND, FLOOR, CEILING and ISNUMERIC, with
// the server's conversion errors.
std::span<const FunctionSpec> numberFunctions();

} // namespace estaciones::db::tsql
