#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

// The tokens of a text without its blanks and comments: what the parser and
// the catalogues read a stored definition as.
Tokens significantTokens(QStringView text);

} // namespace estaciones::db::tsql
