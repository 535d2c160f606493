#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

// Splits T-SQL text into tokens. Never fails: an unterminated string, name or
// comment runs to the end of the text and is marked `unterminated`.
Tokens tokenize(QStringView text);

// The tokens' texts in order; detokenize(tokenize(x)) == x for any x.
QString detokenize(const Tokens& tokens);

} // namespace estaciones::db::tsql
