#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

namespace estaciones::db::tsql {

// FORMAT(value, format [, culture]) (tsql_format): numbers with .NET's
// standard (N, C, F, D, P, G, X, E with a precision) and custom (0 # . , %
// and literals, in up to three sections) patterns; dates and date-times
// with its standard (d D f F g G M Y t T s u o) and custom (d M y h H m s f
// t, literals) patterns; time values as durations (hh mm ss f, escaped
// literals). NULL where .NET refuses the pattern for the value, 9818 for an
// unknown culture, 8116 for text that is not a date; a pattern .NET takes
// but this engine does not is refused by name.
std::span<const FunctionSpec> formatFunctions();

} // namespace estaciones::db::tsql
