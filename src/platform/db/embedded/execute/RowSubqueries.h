#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <functional>
#include <optional>

namespace estaciones::db::sqlite {

using QueryRows = std::function<ResultSet(const tsql::Tokens& query)>;

// A FOR JSON or FOR XML subquery that reads the outer query's columns, as an
// item of a SELECT's select list: the outer query gives the values it reads
// as columns in its place, and its text is worked out for each row.
struct RowSubquery {
    std::size_t item = 0;       // its place in the select list
    std::size_t valueCount = 0; // the columns that stand in its place
    tsql::Tokens subquery;      // with its FOR clause, a NULL where an outer value goes
    std::vector<int> valueAt;   // by token of `subquery`: the outer value there, or -1
    tsql::Tokens written;       // the subquery as written, for what its items are
    QString name;               // its alias, empty without one
    bool typedXml = false;      // FOR XML ... TYPE: an xml value's column
};

// The subquery tokens(open, close) of `statement` (`inner` with its own
// subqueries worked out) as a RowSubquery, and what stands in its place: the
// outer values it reads, found by running it (`runQuery`) until it names no
// column it lacks. Nothing when the statement is not a SELECT that lists it
// as an item (after SELECT or a comma; no DISTINCT, INTO, UNION or * before
// it), or it reads no outer value.
struct DeferredSubquery {
    RowSubquery subquery;
    tsql::Tokens replacement;
};
std::optional<DeferredSubquery> deferRowSubquery(const tsql::Tokens& statement, std::size_t open,
                                                 std::size_t close, const tsql::Tokens& inner,
                                                 const QueryRows& runQuery);

// The rows with each RowSubquery's columns made one: its text for the row's
// values (NULL without rows), an nvarchar column of its name.
void fillRowSubqueries(ResultSet& rows, const std::vector<RowSubquery>& subqueries,
                       const QueryRows& runQuery);

} // namespace estaciones::db::sqlite
