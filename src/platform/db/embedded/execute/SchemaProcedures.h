#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/SystemProcedures.h"

namespace estaciones::db::sqlite {

// sp_rename for tables, columns and indexes: the objects the engine made to
// enforce the table's constraints and types follow the new names. Returns
// false when `procedure` is not one of these.
bool callSchemaProcedure(Session& session, const QString& procedure,
                         const std::vector<CallArgument>& arguments);

// The object the file names `name` (a table, view, procedure, function,
// trigger or constraint) takes the file's name `newName`, its dependants with
// it; 15335 when another object has that name. ALTER SCHEMA ... TRANSFER is
// this rename from one schema's name to another's.
void renameObject(SqliteDatabase& database, const QString& name, const QString& newName);

// The informational message sp_rename gives after every rename.
ProviderError renameCaution();

} // namespace estaciones::db::sqlite
