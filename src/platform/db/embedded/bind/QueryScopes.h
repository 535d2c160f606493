#pragma once

#include "platform/db/embedded/parse/Pieces.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace estaciones::db::sqlite {

// A table source of one query block: a table or view (or a common table
// expression: the same syntax) by name, or a derived table's query.
struct QuerySource {
    QString schema; // "temp" or "main" when the name is qualified
    QString name;   // empty for a derived table
    QString alias;
    bool derived = false;
    size_t queryFrom = 0; // a derived table's query, pieces [queryFrom, queryTo)
    size_t queryTo = 0;

    // Whether `qualifier` (t in t.x) names this source.
    bool isNamed(const QString& qualifier) const;
};

// WITH name [(columns)] AS (body): where the query's columns come from.
struct CommonTable {
    QString name;
    QStringList columns;
    size_t bodyFrom = 0;
    size_t bodyTo = 0;
    size_t clause = 0; // the WITH clause it belongs to
};

// One query block (a SELECT of a UNION, a subquery, an UPDATE or a DELETE):
// its pieces, the tables its FROM clause names, and the block around it,
// whose tables a correlated name may belong to.
struct QueryScope {
    static constexpr size_t none = size_t(-1);
    size_t parent = none;
    size_t from = 0;
    size_t to = 0;
    std::vector<QuerySource> sources;
    // The FROM clause without its FROM ("t AS a JOIN u ON ..."), as a probe
    // query over the block's tables writes it; empty for a block without tables.
    QString sourcesText;
    // The WITH clause whose names the block sees, or none.
    size_t withClause = none;
};

// The query blocks of one SQLite statement (a query, a data change, CREATE
// ... AS a query), so that a column in a condition is looked for where the
// server looks for it: in its own block's tables, then in the blocks around.
class QueryScopes {
public:
    explicit QueryScopes(const tsql::Pieces& pieces);

    // The innermost block holding piece `i` (QueryScope::none outside all).
    size_t scopeAt(size_t i) const;
    const QueryScope& scope(size_t index) const { return m_scopes[index]; }
    // The common table expression `name` the block sees, or nullptr.
    const CommonTable* commonTable(size_t scope, const QString& name) const;
    // The text of the WITH clause the block sees, to put before a probe
    // query over its tables ("WITH a AS (...), b AS (...)"); empty if none.
    QString withText(size_t scope) const;
    // The text of WITH clause `clause` (a CommonTable's).
    QString withClauseText(size_t clause) const;

private:
    void parseQuery(size_t from, size_t to, size_t parent, size_t withClause);
    size_t parseWith(size_t from, size_t to, size_t parent, size_t& withClause);
    size_t addScope(size_t from, size_t to, size_t parent, size_t withClause);
    void parseSelect(size_t from, size_t to, size_t parent, size_t withClause);
    void parseUpdate(size_t from, size_t to, size_t parent, size_t withClause);
    void parseDelete(size_t from, size_t to, size_t parent, size_t withClause);
    // The sources of FROM pieces [from, to).
    std::vector<QuerySource> sourcesIn(size_t from, size_t to) const;
    // The subqueries in [from, to), each a block under `parent`.
    void parseSubqueries(size_t from, size_t to, size_t parent, size_t withClause);

    const tsql::Pieces& m_pieces;
    std::vector<QueryScope> m_scopes;
    std::vector<size_t> m_scopeOf; // by piece
    std::vector<CommonTable> m_commonTables;
    std::vector<std::pair<size_t, size_t>> m_withClauses; // pieces of each WITH ... list
};

} // namespace estaciones::db::sqlite
