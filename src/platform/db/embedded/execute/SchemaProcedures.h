#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/SystemProcedures.h"

namespace estaciones::db::sqlite {

// sp_rename for tables, columns and indexes: the objects the engine made to
// enforce the table's constraints and types follow the new names. Returns
// false when `procedure` is not one of these.
bool callSchemaProcedure(Session& session, const QString& procedure,
                         const std::vector<CallArgument>& arguments);

// The informational message sp_rename gives after every rename.
ProviderError renameCaution();

} // namespace estaciones::db::sqlite
