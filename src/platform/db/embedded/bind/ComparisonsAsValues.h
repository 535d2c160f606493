#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// A comparison written where a value goes, an item of a select list
// (SELECT a > b, SELECT GETDATE() >= '2020-01-01', SELECT x LIKE 'a%'), is
// no expression on the server: the batch fails to compile with 102 near the
// operator (156 near LIKE, BETWEEN, IN or IS). SQLite
// would answer 0 or 1. Comparisons inside CASE, a function's arguments or a
// subquery are their own conditions and stay.
std::optional<ProviderError> comparisonAsValueError(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
