#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <functional>
#include <QStringList>

#include <optional>

namespace estaciones::db::sqlite {

// Whether table `table` (its name without schema) has column `column`.
using ColumnLookup = std::function<bool(const QString& table, const QString& column)>;
// The columns of table `table` in their order; empty when it has none known.
using ColumnList = std::function<QStringList(const QString& table)>;

// A grouped query (GROUP BY, HAVING, or an aggregate in its select list)
// whose select list or HAVING names a column outside every aggregate and
// every GROUP BY expression, as the server refuses it when it compiles the
// batch: 8120 for the select list, 8121 for HAVING, the column named with
// the table of the FROM clause it belongs to (`hasColumn` tells which, when
// the query joins several). A * stands for the columns `columnsOf` lists; a
// subquery's own columns are left to its block, but one of the outer query
// it names by its table or alias must be grouped. SQLite would give a value
// of one of the group's rows.
std::optional<ProviderError> ungroupedColumnError(const tsql::Tokens& tokens,
                                                  const ColumnLookup& hasColumn,
                                                  const ColumnList& columnsOf);

} // namespace estaciones::db::sqlite
