#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

class Session;

// The statements of a database's upkeep that an install or maintenance
// script sends: ALTER DATABASE … SET, UPDATE STATISTICS, ALTER INDEX …
// REBUILD | REORGANIZE, the sequences' definitions (SequenceStatements) and
// the schema objects the engine does not keep (CREATE TYPE, SYNONYM,
// LOGIN, USER, ROLE ...). Answers
// whether `tokens` is one of them, having run it: what the file already is
// (simple recovery, multi-user, read-write, compatibility level 140) is
// accepted, indexes are rebuilt by SQLite's own means, statistics need no
// gathering, and
// anything else fails with 40517 naming what the engine does not do, never
// accepted without its effect.
bool runMaintenanceStatement(Session& session, const tsql::Tokens& tokens);
// Whether it is one: the batch's compile step leaves it to the run, once it
// has refused what the run would refuse whatever the state (40517).
bool isMaintenanceStatement(const tsql::Tokens& tokens);
std::optional<ProviderError> maintenanceRefusal(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
