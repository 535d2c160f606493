#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// tsql_exact_add, tsql_exact_subtract, tsql_exact_multiply(a, b, 'type'):
// + - * whose result the server types money, smallmoney or decimal(p,s)
// ('type'), exact to the last digit and rounded to the type's scale; 8115
// when the result does not fit the type. SQLite's own operators work in
// doubles, which lose the digits beyond the fifteenth.
std::span<const FunctionSpec> exactArithmeticFunctions();

} // namespace estaciones::db::tsql
