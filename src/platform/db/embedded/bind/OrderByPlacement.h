#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// An ORDER BY in a view, an inline function, a derived table, a subquery
// or a common table expression whose query has no TOP, OFFSET or FOR XML,
// as the server refuses it when it compiles the batch (1033): there it
// would order nothing. SQLite sorts such a query and goes on.
std::optional<ProviderError> misplacedOrderByError(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
