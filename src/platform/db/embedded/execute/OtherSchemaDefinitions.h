#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// A statement that creates its object in a schema other than dbo (CREATE
// TABLE ventas.t, SELECT ... INTO ventas.t): 2760 when the database has no
// such schema, as the server answers; 40517 when it has one but keeps no
// objects in it (guest, sys, the roles' schemas), which the server would
// create.
std::optional<ProviderError> otherSchemaDefinitionError(const tsql::Tokens& statement);

} // namespace estaciones::db::sqlite
