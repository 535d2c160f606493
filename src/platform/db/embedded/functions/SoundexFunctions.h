#pragma once

#include "platform/db/embedded/functions/FunctionCall.h"

#include <span>

namespace estaciones::db::tsql {

// SOUNDEX(text) by the rules of the Soundex indexing system (H and W do not
// part two letters of the same code, vowels do) and DIFFERENCE(a, b), the
// number of the four code characters that agree, 0 to 4.
std::span<const FunctionSpec> soundexFunctions();

} // namespace estaciones::db::tsql
