#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

// The deepest parentheses a statement may nest; deeper ones answer 191
// before SQLite's fixed parser stack would give up with an error of its own.
constexpr int maximumParenthesisDepth = 256;
// The deepest BEGIN/IF/WHILE/TRY nesting a batch may have (191 beyond).
constexpr int maximumBlockDepth = 256;
// The longest identifier SQL Server accepts (103 beyond).
constexpr int maximumIdentifierLength = 128;

// Fails as the server does on text it cannot read at all: an unterminated
// string or [name] (105), an unterminated block comment (113), an
// identifier longer than 128 characters (103), parentheses nested too deep
// (191). `tokens` is the whole tokenized batch, comments included.
void checkLexicalLimits(const Tokens& tokens);

} // namespace estaciones::db::tsql
