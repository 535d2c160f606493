#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/execute/SystemProcedures.h"
#include "platform/db/embedded/parse/Token.h"

#include <utility>
#include <vector>

namespace estaciones::db::sqlite {

class Session;

// CREATE SEQUENCE, ALTER SEQUENCE and DROP SEQUENCE [IF EXISTS], kept in the
// engine's sequence store (functions/SequenceStore).
bool isSequenceStatement(const tsql::Tokens& tokens);
// Runs one of them on the current database: 2714, 3701, 11705 and the other
// refusals of a definition the server would not take.
void runSequenceStatement(Session& session, const tsql::Tokens& tokens);

// sp_sequence_get_range: takes the range and answers the values of its
// OUTPUT arguments, each with the caller's variable it goes to.
std::vector<std::pair<QString, Variant>> sequenceRangeOutputs(
    Session& session, const std::vector<CallArgument>& arguments);

} // namespace estaciones::db::sqlite
