#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// HASHBYTES (tsql_hashbytes) and what binary(n) and varbinary(n) columns keep
// (tsql_store_binary, their store triggers' function).
std::span<const FunctionSpec> binaryFunctions();

} // namespace estaciones::db::tsql
