#pragma once

#include "platform/db/embedded/parse/Pieces.h"

#include <optional>

// UPDATE and DELETE with a FROM clause of their own:
//   UPDATE t SET a = u.b FROM t JOIN u ON ... WHERE ...
//   UPDATE x SET ... FROM Tabla x LEFT JOIN u ON ...
//   DELETE [FROM] t FROM t JOIN u ON ... / DELETE x FROM Tabla x, u WHERE ...
// SQLite's UPDATE ... FROM may not name the target again and its DELETE has
// no FROM of its own; the whole T-SQL FROM clause becomes a subquery that
// finds the target's rows (by rowid) and, for UPDATE, the new values, so that
// every join kind and alias keeps its meaning. nullopt when the statement has
// no such clause. The result still needs the query rewrites.
namespace estaciones::db::tsql::rewrite {

std::optional<Pieces> joinedUpdate(const Pieces& pieces);
// UPDATE t SET t.a = ... without a FROM of its own: SQLite's SET takes the
// column alone, so the target's name is taken off the columns it assigns (a
// column qualified by any other name stays, for SQLite to refuse).
void unqualifyTargetColumns(Pieces& pieces);
std::optional<Pieces> joinedDelete(const Pieces& pieces);

} // namespace estaciones::db::tsql::rewrite
