#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <functional>
#include <optional>

namespace estaciones::db::sqlite {

// Whether table `table` (its name without schema) has column `column`.
using ColumnLookup = std::function<bool(const QString& table, const QString& column)>;

// A grouped query (GROUP BY, HAVING, or an aggregate in its select list)
// whose select list or HAVING names a column outside every aggregate and
// every GROUP BY expression, as the server refuses it when it compiles the
// batch: 8120 for the select list, 8121 for HAVING, the column named with
// the table of the FROM clause it belongs to (`hasColumn` tells which, when
// the query joins several). SQLite would give a value of one of the group's
// rows. Subqueries are left to their own blocks.
std::optional<ProviderError> ungroupedColumnError(const tsql::Tokens& tokens,
                                                  const ColumnLookup& hasColumn);

} // namespace estaciones::db::sqlite
