#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// What a query's ORDER BY list may not hold, refused as the batch compiles:
// a constant (a text, NULL, a number that is no position; 408 with its place
// in the list) and an item written twice (169). SQLite sorts by a constant
// and by a repeated column without a word.
std::optional<ProviderError> orderByItemsError(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
