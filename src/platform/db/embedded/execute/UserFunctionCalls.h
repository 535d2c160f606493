#pragma once

#include "platform/db/embedded/catalog/FunctionCatalog.h"

#include <functional>

namespace estaciones::db::sqlite {

// The table a multi-statement function's body filled for a call with these
// argument tokens (one range each, DEFAULT already replaced). At compile time
// there is none yet: an empty name stands for a table yet to be.
using TableFunctionFiller = std::function<QString(const FunctionDefinition& function,
                                                  const std::vector<tsql::Tokens>& arguments)>;

// The statement with the calls of the database's user-defined functions
// ("schema.name(arguments)") in the form SQLite runs:
// - a scalar function as tsql_udf('name', arguments converted to the
//   parameters' types) converted to its declared type, so that the value
//   is typed as the function declares it;
// - an inline table-valued function as its query, a derived table with each
//   parameter replaced by its argument;
// - a multi-statement one as the table `fill` gives.
// DEFAULT takes the parameter's default. Throws 313 for fewer arguments
// than parameters, 8144 for more; 217 when inline functions nest too deep.
// `defining`: the function whose CREATE compiles the statement, which its
// body may call before the catalogue holds it (recursion).
tsql::Tokens withUserFunctions(SqliteDatabase& database, const tsql::Tokens& tokens,
                               const TableFunctionFiller& fill,
                               const FunctionDefinition* defining = nullptr);

// The name of the SQLite function that runs a scalar function's body.
inline constexpr const char* scalarFunctionCall = "tsql_udf";

} // namespace estaciones::db::sqlite
