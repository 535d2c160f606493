#pragma once

#include "platform/db/embedded/parse/Pieces.h"

namespace estaciones::db::tsql {

// The text the catalogue gives for a CHECK or DEFAULT expression
// (sys.check_constraints.definition, CHECK_CLAUSE, sp_help): the server keeps
// such expressions decoded rather than as written, without the blanks
// between names and operators. Column names in brackets, each numeric
// literal in parentheses, functions in lower case, keywords in upper case
// with one blank either side, the whole in parentheses: CHECK (q > 0) is
// kept as ([q]>(0)), DEFAULT 0 as ((0)), DEFAULT GETDATE() as (getdate()).
QString storedDefinition(const Pieces& expression);

} // namespace estaciones::db::tsql
