#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/execute/RowSubqueries.h"
#include "platform/db/embedded/parse/Token.h"

#include <functional>

namespace estaciones::db::sqlite {

// (SELECT ... FOR JSON ...) inside a statement, which SQLite cannot run (and
// FOR XML the same way):
// each such subquery (innermost first) is worked out before the statement,
// by `runQuery` over the subquery without its FOR JSON clause, and its text
// put in its place as an N'...' literal, NULL when it has no rows, as the
// server gives one nvarchar(max) value for it. The tokens come back as they
// are when there is none. A subquery reading the outer query's columns
// fails as not supported, naming the column.
// With `perRow`, a subquery reading the outer query's columns as an item
// of the statement's select list is left to be worked out for each row
// (RowSubqueries.h): the outer values it reads stand in its place, and it
// is noted in `perRow`. A subquery reading the outer rows elsewhere stays as
// it is when it joins PATH('')'s texts, which the translator writes for
// SQLite (ForXml's joinsTexts).
tsql::Tokens withNestedForJson(const tsql::Tokens& tokens, const QueryRows& runQuery,
                               std::vector<RowSubquery>* perRow = nullptr);
// Whether FOR JSON or FOR XML stands inside parentheses: a quick look
// before the work.
bool hasNestedForJson(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
