#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// PARSENAME('server.database.schema.object', part): the part (1 the
// object, 4 the server) without its brackets or quotes; NULL for a part the
// name lacks, an empty one, or a name that is none (more than four parts,
// an unclosed bracket).
std::span<const FunctionSpec> objectNameFunctions();

} // namespace estaciones::db::tsql
