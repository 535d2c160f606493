#include "platform/db/embedded/execute/CursorQuery.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/BatchParser.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

bool isAggregate(const QString& upper) {
    static const QSet<QString> aggregates{"COUNT", "COUNT_BIG", "SUM",   "AVG",  "MIN",
                                          "MAX",   "STDEV",     "STDEVP", "VAR", "VARP",
                                          "STRING_AGG", "CHECKSUM_AGG", "GROUPING"};
    return aggregates.contains(upper);
}

// Words that end a table reference rather than name its alias.
bool endsTableReference(const QString& upper) {
    static const QSet<QString> words{"WHERE", "JOIN",  "INNER", "LEFT",  "RIGHT",  "FULL",
                                     "CROSS", "OUTER", "ON",    "WITH",  "GROUP",  "ORDER",
                                     "HAVING", "OPTION", "UNION", "EXCEPT", "INTERSECT",
                                     "FOR",   "APPLY", "PIVOT", "UNPIVOT", "TABLESAMPLE"};
    return words.contains(upper);
}

// The index of the next token at the outer level of [from, to) that is one
// of `words` (to when none).
std::size_t nextOuterWord(const Tokens& tokens, std::size_t from, std::size_t to,
                          const QSet<QString>& words) {
    int depth = 0;
    for (std::size_t i = from; i < to; ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && words.contains(upperWord(tokens, i))) {
            return i;
        }
    }
    return to;
}

// Whether the name tokens[from, to) is the user's table: unqualified or in
// dbo (sys.tables or INFORMATION_SCHEMA.TABLES are no table of the user's
// that happens to be called so).
bool inDboSchema(const Tokens& tokens, std::size_t from, std::size_t to) {
    if (to - from < 3) {
        return true;
    }
    const Token& schema = tokens[to - 3];
    return schema.isPunctuation(u".") || schema.isName(u"dbo"); // db..t is dbo's too
}

struct TableReference {
    QString table;
    Token qualifier;
};

// The tables of a FROM clause [from, to); nullopt when one of them is no
// base table (a derived table, a function, a view, APPLY).
std::optional<std::vector<TableReference>> readTables(
    const Tokens& tokens, std::size_t from, std::size_t to,
    const std::function<bool(const QString&)>& isBaseTable) {
    std::vector<TableReference> tables;
    bool expectTable = true;
    int depth = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (depth == 0 && expectTable) {
            std::size_t at = i;
            const QString name = readObjectName(tokens, at);
            if (name.isEmpty() || (at < to && tokens[at].isPunctuation(u"(")) ||
                !inDboSchema(tokens, i, at) || !isBaseTable(name)) {
                return std::nullopt;
            }
            Token qualifier = tokens[at - 1];
            if (at < to && tokens[at].isWord(u"AS")) {
                ++at;
            }
            if (at < to && tokens[at].isNameLike() && !endsTableReference(upperWord(tokens, at))) {
                qualifier = tokens[at++];
            }
            tables.push_back({name, qualifier});
            expectTable = false;
            i = at - 1;
            continue;
        }
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        const QString word = depth == 0 ? upperWord(tokens, i) : QString();
        if (word == QLatin1String("APPLY") || word == QLatin1String("PIVOT") ||
            word == QLatin1String("UNPIVOT")) {
            return std::nullopt;
        }
        expectTable = depth == 0 && (word == QLatin1String("JOIN") || tokens[i].isPunctuation(u","));
    }
    if (tables.empty()) {
        return std::nullopt;
    }
    return tables;
}

} // namespace

std::optional<KeyedQuery> KeyedQuery::read(const Tokens& query,
                                           const std::function<bool(const QString&)>& isBaseTable) {
    if (query.empty() || !query.front().isWord(u"SELECT")) {
        return std::nullopt;
    }
    std::size_t items = 1;
    if (upperWord(query, items) == QLatin1String("ALL")) {
        ++items;
    }
    if (upperWord(query, items) == QLatin1String("DISTINCT")) {
        return std::nullopt;
    }
    if (upperWord(query, items) == QLatin1String("TOP")) {
        ++items;
        items = items < query.size() && query[items].isPunctuation(u"(")
                    ? closingParenthesis(query, items) + 1
                    : items + 1;
        if (upperWord(query, items) == QLatin1String("PERCENT")) {
            ++items;
        }
        if (upperWord(query, items) == QLatin1String("WITH")) {
            items += 2; // WITH TIES
        }
    }
    const std::size_t end = query.size();
    const std::size_t fromAt = nextOuterWord(query, items, end, {"FROM"});
    if (fromAt == end) {
        return std::nullopt;
    }
    for (std::size_t i = items; i < fromAt; ++i) {
        const QString word = upperWord(query, i);
        if ((isAggregate(word) && i + 1 < fromAt && query[i + 1].isPunctuation(u"(")) ||
            word == QLatin1String("OVER") || word == QLatin1String("INTO")) {
            return std::nullopt;
        }
    }
    if (nextOuterWord(query, fromAt, end,
                      {"GROUP", "HAVING", "UNION", "EXCEPT", "INTERSECT", "INTO"}) != end) {
        return std::nullopt;
    }
    const std::size_t fromEnd = nextOuterWord(query, fromAt + 1, end, {"WHERE", "ORDER", "OPTION"});
    const std::optional<std::vector<TableReference>> tables =
        readTables(query, fromAt + 1, fromEnd, isBaseTable);
    if (!tables) {
        return std::nullopt;
    }
    KeyedQuery keyed;
    Tokens withKeys = slice(query, 0, items);
    for (const TableReference& table : *tables) {
        keyed.m_tables.push_back(table.table);
        keyed.m_qualifiers.push_back(table.qualifier.text);
        withKeys.push_back(table.qualifier);
        withKeys.push_back(Token::punctuation(QStringLiteral(".")));
        withKeys.push_back(Token::word(QString::fromLatin1(rowIdColumn)));
        withKeys.push_back(Token::punctuation(QStringLiteral(",")));
    }
    const Tokens rest = slice(query, items, end);
    withKeys.insert(withKeys.end(), rest.begin(), rest.end());
    keyed.m_withKeys = joinTokens(withKeys);
    keyed.m_items = joinTokens(query, items, fromAt);
    keyed.m_from = joinTokens(query, fromAt + 1, fromEnd);
    if (upperWord(query, fromEnd) == QLatin1String("WHERE")) {
        keyed.m_where =
            joinTokens(query, fromEnd + 1, nextOuterWord(query, fromEnd + 1, end, {"ORDER", "OPTION"}));
    }
    return keyed;
}

std::pair<QString, std::vector<Variant>> KeyedQuery::reread(const std::vector<Variant>& keys,
                                                            bool qualifying) const {
    QStringList conditions;
    std::vector<Variant> values;
    for (std::size_t k = 0; k < m_qualifiers.size() && k < keys.size(); ++k) {
        // An outer join's missing side has a null id: still missing.
        const QString id = m_qualifiers[k] + QLatin1Char('.') + QLatin1String(rowIdColumn);
        if (keys[k].isNull()) {
            conditions << id + QStringLiteral(" IS NULL");
        } else {
            conditions << id + QStringLiteral(" = ?");
            values.push_back(keys[k]);
        }
    }
    QString text = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                       .arg(m_items, m_from, conditions.join(QStringLiteral(" AND ")));
    if (qualifying && !m_where.isEmpty()) {
        text += QStringLiteral(" AND (%1)").arg(m_where);
    }
    return {text, values};
}

std::optional<std::size_t> KeyedQuery::keyOf(const QString& table) const {
    for (std::size_t k = 0; k < m_tables.size(); ++k) {
        if (m_tables[k].compare(table, Qt::CaseInsensitive) == 0) {
            return k;
        }
    }
    return std::nullopt;
}

std::size_t currentOfStart(const Tokens& tokens) {
    for (std::size_t i = 1; i + 2 < tokens.size(); ++i) {
        if (tokens[i].isWord(u"CURRENT") && tokens[i + 1].isWord(u"OF") &&
            tokens[i - 1].isWord(u"WHERE")) {
            return i;
        }
    }
    return tokens.size();
}

} // namespace estaciones::db::sqlite
