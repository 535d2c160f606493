#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

// The tokens of a text without its blanks and comments: what the parser and
// the catalogues read a stored definition as.
Tokens significantTokens(QStringView text);

// The index of the ')' closing the '(' at `open` (tokens.size() if none).
std::size_t closingParenthesis(const Tokens& tokens, std::size_t open);

} // namespace estaciones::db::tsql
