#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// JSON_VALUE(json, path), JSON_QUERY(json [, path]) and ISJSON(text) over
// the JSON text as written: a path is lax (NULL where it leads nowhere or to
// the wrong kind of value) or strict (13608, 13623, 13624), JSON_VALUE
// gives a scalar's text (a number with its digits, a string unescaped, up to
// 4,000 characters), JSON_QUERY the object or array as the text writes it;
// text that is no JSON fails with 13609, a path that is none with 13607.
std::span<const FunctionSpec> jsonFunctions();

} // namespace estaciones::db::tsql
