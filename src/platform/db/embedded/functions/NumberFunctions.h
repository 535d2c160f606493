#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <optional>
#include <span>

namespace estaciones::db::tsql {

// CAST and CONVERT (tsql_convert), ROUND, FLOOR, CEILING and ISNUMERIC, with
// the server's conversion errors.
std::span<const FunctionSpec> numberFunctions();

// CAST / CONVERT of `value` to `typeName` as tsql_convert does it, for the
// conversions the engine makes itself (a value given to a variable):
// `sourceType` names the value's type where that type decides the answer
// (money, decimal(p,s), float, real), empty where the value tells it.
SqlValue convertTyped(const QString& typeName, const SqlValue& value, std::optional<int> style,
                      const QString& sourceType, const DialectSettings& settings);

} // namespace estaciones::db::tsql
