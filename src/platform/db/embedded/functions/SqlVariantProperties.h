#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// SQL_VARIANT_PROPERTY(expression, property): BaseType, Precision, Scale,
// MaxLength and Collation of the value as its type gives them, the type the
// binder tells as a last argument (tsql_sql_variant_property(value,
// property, declaration)). A value of no type the engine can tell (a
// sql_variant, which keeps no base type here) and TotalBytes fail as not
// supported; a NULL value or an unknown property is NULL, as the server's.
std::span<const FunctionSpec> sqlVariantPropertyFunctions();

} // namespace estaciones::db::tsql
