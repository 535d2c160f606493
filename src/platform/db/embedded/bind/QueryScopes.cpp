#include "platform/db/embedded/bind/QueryScopes.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;

namespace {

using tsql::none;

bool startsQuery(const Pieces& pieces, size_t i) {
    return i < pieces.size() && (pieces[i].isWord(u"SELECT") || pieces[i].isWord(u"WITH") ||
                                 pieces[i].isWord(u"VALUES"));
}

// A name that can follow a table as its alias: not a word of the FROM clause's grammar.
bool isAlias(const Piece& p) {
    static const QSet<QString> clauseWords = {
        "on",      "join",      "inner",   "left",  "right", "full",   "cross",     "outer",
        "natural", "using",     "where",   "group", "order", "limit",  "window",    "union",
        "except",  "intersect", "indexed", "not",   "set",   "having", "returning", "from"};
    if (!p.isNameLike())
        return false;
    return p.kind != TokenKind::Word ||
           (!tsql::isReservedWord(p) && !clauseWords.contains(p.text.toLower()));
}

} // namespace

bool QuerySource::isNamed(const QString& qualifier) const {
    const QString& known = alias.isEmpty() ? name : alias;
    return !known.isEmpty() && known.compare(qualifier, Qt::CaseInsensitive) == 0;
}

QueryScopes::QueryScopes(const Pieces& pieces) : m_pieces(pieces), m_scopeOf(pieces.size(), none) {
    parseQuery(0, pieces.size(), none, none);
}

size_t QueryScopes::scopeAt(size_t i) const {
    return i < m_scopeOf.size() ? m_scopeOf[i] : none;
}

const CommonTable* QueryScopes::commonTable(size_t scope, const QString& name) const {
    for (size_t s = scope; s != none; s = m_scopes[s].parent) {
        const size_t clause = m_scopes[s].withClause;
        for (const CommonTable& table : m_commonTables)
            if (clause != none && table.clause == clause &&
                table.name.compare(name, Qt::CaseInsensitive) == 0)
                return &table;
    }
    return nullptr;
}

QString QueryScopes::withText(size_t scope) const {
    return scope == none ? QString() : withClauseText(m_scopes[scope].withClause);
}

QString QueryScopes::withClauseText(size_t clause) const {
    if (clause >= m_withClauses.size())
        return {};
    const auto [from, to] = m_withClauses[clause];
    return tsql::render(m_pieces, from, to);
}

void QueryScopes::parseQuery(size_t from, size_t to, size_t parent, size_t withClause) {
    if (from < to && m_pieces[from].isWord(u"WITH"))
        from = parseWith(from, to, parent, withClause);
    if (from >= to)
        return;
    const Piece& first = m_pieces[from];
    if (first.isWord(u"SELECT") || first.isWord(u"VALUES")) {
        parseSelect(from, to, parent, withClause);
    } else if (first.isWord(u"UPDATE")) {
        parseUpdate(from, to, parent, withClause);
    } else if (first.isWord(u"DELETE")) {
        parseDelete(from, to, parent, withClause);
    } else if (first.isWord(u"CREATE")) {
        // CREATE VIEW or TABLE ... AS a query; anything else only the
        // queries in its parentheses.
        const size_t as = tsql::findTopLevelWord(m_pieces, from + 1, to, u"AS");
        if (startsQuery(m_pieces, as + 1))
            parseQuery(as + 1, to, parent, withClause);
        else // a trigger's (a CHECK constraint's) queries
            parseSubqueries(from, to, parent, withClause);
    } else {
        // INSERT ... a query, or VALUES whose subqueries are blocks of their own.
        const size_t query = tsql::findTopLevelWord(m_pieces, from + 1, to, {u"SELECT", u"WITH"});
        if (query < to) {
            parseQuery(query, to, parent, withClause);
        } else {
            parseSubqueries(from, to, addScope(from, to, parent, withClause), withClause);
        }
    }
}

// WITH [RECURSIVE] name [(columns)] AS [[NOT] MATERIALIZED] (body), ...:
// the names are noted and each body parsed; returns where the statement goes on.
size_t QueryScopes::parseWith(size_t from, size_t to, size_t parent, size_t& withClause) {
    size_t i = from + 1;
    if (i < to && m_pieces[i].isWord(u"RECURSIVE"))
        ++i;
    withClause = m_withClauses.size();
    const size_t firstTable = m_commonTables.size();
    while (i < to && m_pieces[i].isNameLike()) {
        CommonTable table;
        table.name = m_pieces[i].value();
        table.clause = withClause;
        ++i;
        if (i < to && m_pieces[i].isPunctuation(u"(")) {
            const size_t close = tsql::closeOf(m_pieces, i);
            for (size_t c = i + 1; c < close && c < to; c += 2)
                table.columns << m_pieces[c].value();
            i = close + 1;
        }
        if (i >= to || !m_pieces[i].isWord(u"AS"))
            break;
        ++i;
        if (i < to && m_pieces[i].isWord(u"NOT"))
            ++i;
        if (i < to && m_pieces[i].isWord(u"MATERIALIZED"))
            ++i;
        if (i >= to || !m_pieces[i].isPunctuation(u"("))
            break;
        const size_t close = tsql::closeOf(m_pieces, i);
        table.bodyFrom = i + 1;
        table.bodyTo = std::min(close, to);
        m_commonTables.push_back(table);
        i = close + 1;
        if (i < to && m_pieces[i].isPunctuation(u",")) {
            ++i;
            continue;
        }
        break;
    }
    m_withClauses.emplace_back(from, std::min(i, to));
    for (size_t t = firstTable; t < m_commonTables.size(); ++t)
        parseQuery(m_commonTables[t].bodyFrom, m_commonTables[t].bodyTo, parent, withClause);
    return i;
}

size_t QueryScopes::addScope(size_t from, size_t to, size_t parent, size_t withClause) {
    QueryScope scope;
    scope.parent = parent;
    scope.from = from;
    scope.to = to;
    scope.withClause = withClause;
    m_scopes.push_back(std::move(scope));
    const size_t index = m_scopes.size() - 1;
    for (size_t i = from; i < to && i < m_scopeOf.size(); ++i)
        m_scopeOf[i] = index;
    return index;
}

// Each query of a UNION, EXCEPT or INTERSECT is a block with its own tables.
void QueryScopes::parseSelect(size_t from, size_t to, size_t parent, size_t withClause) {
    for (const auto& [first, last] : tsql::compoundBranches(m_pieces, from, to)) {
        const size_t scope = addScope(first, last, parent, withClause);
        const size_t fromWord = tsql::findTopLevelWord(m_pieces, first + 1, last, u"FROM");
        if (fromWord < last) {
            const size_t end = tsql::findTopLevelWord(
                m_pieces, fromWord + 1, last,
                {u"WHERE", u"GROUP", u"HAVING", u"ORDER", u"LIMIT", u"WINDOW"});
            m_scopes[scope].sources = sourcesIn(fromWord + 1, end);
            m_scopes[scope].sourcesText = tsql::render(m_pieces, fromWord + 1, end);
        }
        parseSubqueries(first, last, scope, withClause);
    }
}

// UPDATE [OR action] target [AS alias] SET ... [FROM ...] [WHERE ...]: the
// target and the FROM clause's tables are the block's.
void QueryScopes::parseUpdate(size_t from, size_t to, size_t parent, size_t withClause) {
    const size_t scope = addScope(from, to, parent, withClause);
    size_t target = from + 1;
    if (target + 1 < to && m_pieces[target].isWord(u"OR"))
        target += 2;
    const size_t set = tsql::findTopLevelWord(m_pieces, target, to, u"SET");
    std::vector<QuerySource> sources = sourcesIn(target, set);
    QString text = tsql::render(m_pieces, target, set);
    const size_t fromWord = tsql::findTopLevelWord(m_pieces, set + 1, to, u"FROM");
    if (fromWord < to) {
        const size_t end = tsql::findTopLevelWord(m_pieces, fromWord + 1, to,
                                                  {u"WHERE", u"ORDER", u"LIMIT", u"RETURNING"});
        for (QuerySource& source : sourcesIn(fromWord + 1, end))
            sources.push_back(std::move(source));
        text += QStringLiteral(", ") + tsql::render(m_pieces, fromWord + 1, end);
    }
    m_scopes[scope].sources = std::move(sources);
    m_scopes[scope].sourcesText = text;
    parseSubqueries(from, to, scope, withClause);
}

// DELETE FROM target [AS alias] [WHERE ...]
void QueryScopes::parseDelete(size_t from, size_t to, size_t parent, size_t withClause) {
    const size_t scope = addScope(from, to, parent, withClause);
    if (from + 1 < to && m_pieces[from + 1].isWord(u"FROM")) {
        const size_t end = tsql::findTopLevelWord(m_pieces, from + 2, to,
                                                  {u"WHERE", u"ORDER", u"LIMIT", u"RETURNING"});
        m_scopes[scope].sources = sourcesIn(from + 2, end);
        m_scopes[scope].sourcesText = tsql::render(m_pieces, from + 2, end);
    }
    parseSubqueries(from, to, scope, withClause);
}

// Each table factor of a FROM clause: a name (schema.name), a derived table
// (query) or a table-valued function, with the alias that follows it.
std::vector<QuerySource> QueryScopes::sourcesIn(size_t from, size_t to) const {
    std::vector<QuerySource> sources;
    bool expectTable = true;
    const auto takeAlias = [&](QuerySource& source, size_t& i) {
        size_t next = i + 1;
        if (next < to && m_pieces[next].isWord(u"AS"))
            ++next;
        if (next < to && isAlias(m_pieces[next])) {
            source.alias = m_pieces[next].value();
            i = next;
        }
    };
    for (size_t i = from; i < to; ++i) {
        const Piece& p = m_pieces[i];
        if (p.isPunctuation(u"(")) {
            const size_t close = tsql::closeOf(m_pieces, i);
            if (expectTable && startsQuery(m_pieces, i + 1)) {
                QuerySource source;
                source.derived = true;
                source.queryFrom = i + 1;
                source.queryTo = close;
                i = close;
                takeAlias(source, i);
                sources.push_back(std::move(source));
                expectTable = false;
            } else if (!expectTable) {
                i = close; // ON (...), a function's arguments
            }
            continue; // else a join in parentheses: its tables are read inside
        }
        if (p.isPunctuation(u",") || p.isWord(u"JOIN") || p.isWord(u"APPLY")) {
            expectTable = true;
            continue;
        }
        if (!expectTable || !p.isNameLike() ||
            (p.kind == TokenKind::Word && tsql::isReservedWord(p)))
            continue;
        QuerySource source;
        source.name = p.value();
        if (i + 2 < to && m_pieces[i + 1].isPunctuation(u".") && m_pieces[i + 2].isNameLike()) {
            source.schema = source.name;
            source.name = m_pieces[i + 2].value();
            i += 2;
        }
        if (i + 1 < to && m_pieces[i + 1].isPunctuation(u"(")) {
            source.name.clear(); // a table-valued function: columns of its own
            i = tsql::closeOf(m_pieces, i + 1);
        }
        takeAlias(source, i);
        sources.push_back(std::move(source));
        expectTable = false;
    }
    return sources;
}

void QueryScopes::parseSubqueries(size_t from, size_t to, size_t parent, size_t withClause) {
    for (size_t i = from; i < to; ++i) {
        if (!m_pieces[i].isPunctuation(u"(") || !startsQuery(m_pieces, i + 1))
            continue;
        const size_t close = tsql::closeOf(m_pieces, i);
        parseQuery(i + 1, std::min(close, to), parent, withClause);
        i = close;
    }
}

} // namespace estaciones::db::sqlite
