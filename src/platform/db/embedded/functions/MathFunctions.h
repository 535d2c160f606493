#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// The float functions SQLite lacks: SQUARE, ATN2, COT and RAND([seed]).
std::span<const FunctionSpec> mathFunctions();

} // namespace estaciones::db::tsql
