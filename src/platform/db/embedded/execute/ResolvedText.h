#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QString>

#include <functional>
#include <optional>

namespace estaciones::db::sqlite {

// What the session knows that SQLite does not: the value of a variable
// (`@x`, `@@x`) or of a function without arguments that answers from the
// session (SCOPE_IDENTITY, ERROR_NUMBER, XACT_STATE, ...; named upper-case).
// std::nullopt leaves the token as it is.
using SessionValue = std::function<std::optional<tsql::Token>(const tsql::Token& variable)>;

// Those functions: their name is looked up when followed by "( )".
bool isSessionFunction(const QString& upperName);

// The statement with variables and session functions replaced by what
// `valueOf` gives, and query hints (OPTION (...)) left out: the T-SQL the
// dialect translates.
tsql::Tokens resolvedTokens(const tsql::Tokens& tokens, const SessionValue& valueOf);

// Those tokens joined by single blanks.
QString resolvedText(const tsql::Tokens& tokens, const SessionValue& valueOf);

} // namespace estaciones::db::sqlite
