#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// How many arguments a built-in function takes, by its T-SQL name in lower
// case: nullopt for a name that is no built-in of this table (CAST, CONVERT
// and the others the parser reads by their own syntax are not in it).
struct ArgumentCount {
    int least;
    int most;
};
std::optional<ArgumentCount> builtInArgumentCount(const QString& lowerName);

// The first call in `tokens` of a built-in given a number of arguments it
// does not take, as the server refuses it when it compiles the batch: 174
// for a function of one count, 189 for one of a range. The counts are the
// T-SQL ones, not those of the SQLite functions the calls become (those take
// the constants the translation adds).
std::optional<ProviderError> builtInArgumentCountError(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
