#pragma once

#include "platform/db/embedded/parse/Pieces.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

struct sqlite3;

namespace estaciones::db::sqlite {

class QueryTyping;

// The expressions of a statement that no select list holds: the operands of
// the comparisons in a WHERE or HAVING, the values of UPDATE ... SET and of
// INSERT ... VALUES. Each is typed as a query over the statement's tables
// types its items (see QueryTyping), so that money and decimal arithmetic in
// them is worked out on its digits as in a select list, and written back in
// its place. A statement whose expressions cannot be typed comes back as it is.
QString withTypedExpressions(sqlite3* db, const QString& statement);

// The operands of the condition pieces[from, to) that hold arithmetic: both
// sides of = <> != < > <= >=, the three of BETWEEN, the values of IN (...),
// the text of LIKE, through AND, OR, NOT and parentheses. A subquery is
// nobody's operand here; its own statement types it.
std::vector<std::pair<size_t, size_t>> arithmeticOperands(const tsql::Pieces& pieces, size_t from,
                                                          size_t to);

// The value [from, to) without its parentheses and the COLLATE after it,
// when it holds arithmetic (a simple CASE's operand and its WHEN values).
std::optional<std::pair<size_t, size_t>> arithmeticOperand(const tsql::Pieces& pieces, size_t from,
                                                           size_t to);

// The select list's `count` items of the query `typing` holds as its
// withFractionalDivisions writes them; empty when nothing changes or the
// items cannot be told apart.
std::vector<tsql::Pieces> rewrittenItems(QueryTyping& typing, size_t count);

} // namespace estaciones::db::sqlite
