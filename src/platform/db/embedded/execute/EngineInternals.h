#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// What a statement must not reach of the file under the dialect: SQLite's
// own statements (PRAGMA, ATTACH, VACUUM ...: a PRAGMA user_version made the
// file unreadable, foreign_keys = OFF stopped the constraints), the engine's
// own tables (estaciones_*) and functions (tsql_*). SQLite keeps its own
// catalogue from changes itself. The server knows none of them: the error is
// the one it gives for a name it does not know (102 for a statement it
// cannot read, 208 for an object, 195 for a function).
std::optional<ProviderError> engineInternalsError(const tsql::Tokens& tokens);
// The statement's first word alone: checked again when it runs, whatever
// way its text came (EXEC of a text, sp_executesql).
std::optional<ProviderError> sqliteStatementError(const tsql::Tokens& tokens);
// The names alone, over a whole text of statements (EXEC of a text).
std::optional<ProviderError> internalNameError(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
