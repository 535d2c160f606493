#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// An ORDER BY that sorts by what the select list does not hold where the
// server wants it there, refused as it compiles the batch: 145 for a SELECT
// DISTINCT, 104 for a UNION, EXCEPT or INTERSECT, whose names must be those
// of its first query's list. An item is in the list when it is a position,
// an alias of the list or one of its expressions written alike (qualifiers
// and brackets aside). SQLite sorts a DISTINCT by anything and a compound by
// the columns of any of its queries, so the rows would come in an order the
// server never gives.
std::optional<ProviderError> orderByNotInSelectListError(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
