#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QString>

namespace estaciones::db::sqlite {

// The text of one statement exactly as its batch holds it: from its first
// token to its last, with the comments that follow it before anything else
// does (the server keeps a module's text as written, comments and the
// blanks that start its lines included). `statement` are the batch's own
// tokens, with their offsets in `batch`; an empty text when there are none
// or they were made by the engine.
QString statementSource(const QString& batch, const tsql::Tokens& statement);

} // namespace estaciones::db::sqlite
