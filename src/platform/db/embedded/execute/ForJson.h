#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/parse/Token.h"

#include <optional>

namespace estaciones::db::sqlite {

// SELECT ... FOR JSON PATH | AUTO [, ROOT[('name')]] [, INCLUDE_NULL_VALUES]
// [, WITHOUT_ARRAY_WRAPPER] at a statement's own level: the query without
// the clause, and how its rows become the JSON text.
struct ForJson {
    tsql::Tokens query;
    QString root; // empty: no ROOT
    bool includeNulls = false;
    bool withoutArray = false;
    // The select-list items that are FOR JSON subqueries: their JSON goes in
    // as it is, a nested array or object, not a string.
    std::vector<bool> jsonItems;
};
std::optional<ForJson> readForJson(const tsql::Tokens& tokens);

// Notes in `json` which of its items are FOR JSON subqueries, read from the
// statement as written (`written`), before they were worked out.
void noteJsonItems(ForJson& json, const tsql::Tokens& written);

// The rows of the query as the server gives FOR JSON's text: one column
// (JSON_F52E2B61-18A1-11d1-B105-00805F49916B) of rows of 2,033 characters
// at most; in PATH mode a column named "a.b" is property b of object a.
// Numbers and bit (true/false) as JSON's, dates and times in ISO 8601,
// binary in BASE64, NULLs left out unless INCLUDE_NULL_VALUES; a column
// without a name fails with 13605.
ResultSet forJsonResult(const ResultSet& rows, const ForJson& json);

} // namespace estaciones::db::sqlite
