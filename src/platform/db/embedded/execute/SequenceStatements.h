#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::sqlite {

class Session;

// CREATE SEQUENCE, ALTER SEQUENCE and DROP SEQUENCE [IF EXISTS], kept in the
// engine's sequence store (functions/SequenceStore).
bool isSequenceStatement(const tsql::Tokens& tokens);
// Runs one of them on the current database: 2714, 3701, 11705 and the other
// refusals of a definition the server would not take.
void runSequenceStatement(Session& session, const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
