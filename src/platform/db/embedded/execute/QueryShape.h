#pragma once

#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/Token.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace estaciones::db::sqlite {

// Readers of a query's own SELECT as FOR XML and FOR JSON place its items:
// its select list, the names of its items and of its FROM clause's sources.

// A FROM source: the element or name the query gives it (its alias, or its
// name as written) and its table's own name.
struct SourceName {
    QString element;
    QString table;
};

// The FROM sources of tokens[from, to): their names as written and aliases.
std::vector<SourceName> readSources(const tsql::Tokens& tokens, std::size_t from, std::size_t to);

// Where the select list of the query's own SELECT starts and ends (its FROM,
// or the end), after DISTINCT and TOP.
struct SelectList {
    std::size_t from = 0;
    std::size_t to = 0;
};
SelectList selectList(const tsql::Tokens& tokens);

// What table an item names: its qualifier when it is one column `q.c`; "*"
// for * and q.*; empty otherwise.
QString itemQualifier(const tsql::Tokens& tokens, const Range& item);

// The alias of a select-list item (AS name, name, 'name'); none without one.
std::optional<QString> itemAlias(const tsql::Tokens& tokens, const Range& item);

// A column named as it is (c, t.c, s.t.c): its name is the column's.
bool isColumnReference(const tsql::Tokens& tokens, const Range& item);

// For each select-list item of `query` (without its FOR clause), whether it
// is a subquery in parentheses (with an alias or none) that `matches`; empty
// when a * stands among them.
std::vector<bool> subqueryItems(const tsql::Tokens& query,
                                const std::function<bool(const tsql::Tokens&)>& matches);

// The names the query's own FROM clause gives its sources: each alias, or
// the name as written without one.
QStringList fromSourceNames(const tsql::Tokens& query);

} // namespace estaciones::db::sqlite
