#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

// The ISO names of the types, written as the server's own: double precision
// → float, char varying and character varying → varchar, national character
// varying (and its shorter forms) → nvarchar, national character → nchar,
// binary varying → varbinary, character(n) → char(n), dec(p, s) →
// decimal(p, s), float(1 to 24) → real, float(25 to 53) → float. Every later step then knows one name per type (the
// catalogue's DATA_TYPE, conversions, a variable's type).
Tokens withTypeSynonyms(Tokens tokens);

} // namespace estaciones::db::tsql
