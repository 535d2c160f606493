#pragma once

#include "platform/db/embedded/parse/Pieces.h"

#include <QStringList>

namespace estaciones::db::sqlite {

// Readers of a query's select list, for the checks that compare other
// clauses with it.

using PieceSpan = std::pair<size_t, size_t>;

// An expression as those checks compare it: names in lower case without
// their brackets, and without the table or schema before them (t.a is a).
QStringList normalizedExpression(const tsql::Pieces& pieces, size_t from, size_t to);

struct SelectItem {
    PieceSpan expression;
    QString alias; // lower case; empty without one
};

// A select list's item: alias = expr, expr AS alias, expr alias, expr.
SelectItem readSelectItem(const tsql::Pieces& pieces, PieceSpan item);

// Where the select list of the SELECT at `select` starts: past DISTINCT or
// ALL and TOP (n) [PERCENT] [WITH TIES].
size_t selectListStart(const tsql::Pieces& pieces, size_t select, size_t end);

// The first of `words` in [from, to) at depth 0 that starts a clause, or
// `to`: GROUP only before BY (not WITHIN GROUP's).
size_t clauseStart(const tsql::Pieces& pieces, size_t from, size_t to,
                   std::initializer_list<QStringView> words);

// * or t.*
bool isStarItem(const tsql::Pieces& pieces, PieceSpan item);

} // namespace estaciones::db::sqlite
