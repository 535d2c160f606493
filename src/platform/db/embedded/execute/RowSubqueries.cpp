#include "platform/db/embedded/execute/RowSubqueries.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/ForJson.h"
#include "platform/db/embedded/execute/ForXml.h"
#include "platform/db/embedded/execute/QueryShape.h"
#include "platform/db/embedded/execute/StatementTokens.h"

#include <QRegularExpression>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The select-list item the '(' at `open` starts, counted from 0; nothing
// when the statement is no plain SELECT listing it as an item.
std::optional<std::size_t> itemIndex(const Tokens& statement, std::size_t open) {
    if (statement.empty() || !statement.front().isWord(u"SELECT") || open == 0 ||
        !(statement[open - 1].isPunctuation(u",") || open == 1))
        return std::nullopt;
    std::size_t item = 0;
    int depth = 0;
    for (std::size_t i = 1; i < open; ++i) {
        const Token& token = statement[i];
        depth += token.isPunctuation(u"(") ? 1 : token.isPunctuation(u")") ? -1 : 0;
        if (depth != 0)
            continue;
        const bool assigned = token.kind == TokenKind::Variable && i + 1 < open &&
                              statement[i + 1].isPunctuation(u"=");
        const bool star = token.isPunctuation(u"*") &&
                          (statement[i - 1].isWord(u"SELECT") ||
                           statement[i - 1].isPunctuation(u",") ||
                           statement[i - 1].isPunctuation(u"."));
        if (token.isWord(u"DISTINCT") || token.isWord(u"INTO") || token.isWord(u"FROM") || star ||
            assigned)
            return std::nullopt; // rows told apart, written elsewhere, or columns not items
        if (token.isPunctuation(u","))
            ++item;
    }
    if (depth != 0)
        return std::nullopt; // within a call or parentheses: part of an item
    bool ordering = false;
    for (std::size_t i = open; i < statement.size(); ++i) {
        const Token& token = statement[i];
        depth += token.isPunctuation(u"(") ? 1 : token.isPunctuation(u")") ? -1 : 0;
        if (depth != 0)
            continue;
        if (token.isWord(u"UNION") || token.isWord(u"EXCEPT") || token.isWord(u"INTERSECT") ||
            token.isWord(u"INTO"))
            return std::nullopt;
        ordering = ordering || token.isWord(u"ORDER");
        // ORDER BY 2 counts the columns, which the outer values change.
        if (ordering && token.kind == TokenKind::Number && i > 0 &&
            (statement[i - 1].isWord(u"BY") || statement[i - 1].isPunctuation(u",")))
            return std::nullopt;
    }
    return item;
}

// The alias after the subquery's ')' at `close`; empty without one. Nothing
// when more than an alias follows it in its item.
std::optional<QString> aliasAfter(const Tokens& statement, std::size_t close) {
    std::size_t i = close + 1;
    const auto endsItem = [&](std::size_t at) {
        return at >= statement.size() || statement[at].isPunctuation(u",") ||
               statement[at].isWord(u"FROM") || statement[at].isWord(u"FOR") ||
               statement[at].isPunctuation(u";");
    };
    if (endsItem(i))
        return QString();
    if (statement[i].isWord(u"AS"))
        ++i;
    if (i < statement.size() &&
        (statement[i].isNameLike() || statement[i].kind == TokenKind::String) && endsItem(i + 1))
        return statement[i].value();
    return std::nullopt;
}

// The query of a subquery with its FOR clause.
std::optional<Tokens> queryOf(const Tokens& subquery) {
    if (const std::optional<ForJson> json = readForJson(subquery))
        return json->query;
    if (const std::optional<ForXml> xml = readForXml(subquery))
        return xml->query;
    return std::nullopt;
}

// The tokens that name what the failure says the query lacks: 'c' of 207,
// "a.b" of 4104.
std::optional<QStringList> missingName(const ProviderFailure& failure) {
    if (failure.records().empty())
        return std::nullopt;
    const QString& text = failure.records().front().description;
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'|\"([^\"]*)\""));
    const QRegularExpressionMatch match = quoted.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString name = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    return name.split(QLatin1Char('.'));
}

// Whether `parts` (a, b of a.b) stand at tokens[at, ...), a name of its own.
bool namesAt(const Tokens& tokens, std::size_t at, const QStringList& parts) {
    if (at > 0 && tokens[at - 1].isPunctuation(u"."))
        return false;
    std::size_t i = at;
    for (qsizetype p = 0; p < parts.size(); ++p, i += 2) {
        if (i >= tokens.size() || !tokens[i].isNameLike() ||
            tokens[i].value().compare(parts[p], Qt::CaseInsensitive))
            return false;
        if (p + 1 < parts.size() && (i + 1 >= tokens.size() || !tokens[i + 1].isPunctuation(u".")))
            return false;
    }
    const std::size_t end = i - 1;
    return end >= tokens.size() ||
           !(tokens[end].isPunctuation(u".") || tokens[end].isPunctuation(u"("));
}

// A column the subquery lacks named without its table: the qualified name
// of it whose table is none of the subquery's own (t.c, when t is aliased).
std::optional<QStringList> qualifiedOuterName(const Tokens& subquery, const QString& column) {
    const std::optional<Tokens> query = queryOf(subquery);
    const QStringList own = query ? fromSourceNames(*query) : QStringList();
    for (std::size_t i = 0; i + 2 < subquery.size(); ++i) {
        if (subquery[i].isNameLike() && subquery[i + 1].isPunctuation(u".") &&
            subquery[i + 2].isNameLike() &&
            !subquery[i + 2].value().compare(column, Qt::CaseInsensitive) &&
            !own.contains(subquery[i].value(), Qt::CaseInsensitive) &&
            namesAt(subquery, i, {subquery[i].value(), column}))
            return QStringList{subquery[i].value(), column};
    }
    return std::nullopt;
}

// Puts outer value `value` (a NULL) where `parts` stand in the subquery; the
// outer reference's tokens, or nothing when it names none there.
std::optional<Tokens> takeOuterReference(RowSubquery& row, const QStringList& parts, int value) {
    std::optional<Tokens> reference;
    const std::size_t length = static_cast<std::size_t>(parts.size()) * 2 - 1;
    for (std::size_t i = 0; i + length <= row.subquery.size(); ++i) {
        if (row.valueAt[i] >= 0 || !namesAt(row.subquery, i, parts))
            continue;
        if (!reference)
            reference = slice(row.subquery, i, i + length);
        row.subquery.erase(row.subquery.begin() + static_cast<std::ptrdiff_t>(i),
                           row.subquery.begin() + static_cast<std::ptrdiff_t>(i + length));
        row.valueAt.erase(row.valueAt.begin() + static_cast<std::ptrdiff_t>(i),
                          row.valueAt.begin() + static_cast<std::ptrdiff_t>(i + length));
        row.subquery.insert(row.subquery.begin() + static_cast<std::ptrdiff_t>(i),
                            Token::word(QStringLiteral("NULL")));
        row.valueAt.insert(row.valueAt.begin() + static_cast<std::ptrdiff_t>(i), value);
    }
    return reference;
}

// The text the subquery gives with the row's outer values in it.
Variant subqueryText(const RowSubquery& row, const std::vector<Variant>& values,
                     const QueryRows& runQuery) {
    Tokens subquery = row.subquery;
    for (std::size_t i = 0; i < subquery.size(); ++i)
        if (row.valueAt[i] >= 0)
            subquery[i] = typedValueToken(values[static_cast<std::size_t>(row.valueAt[i])]);
    ResultSet text;
    if (std::optional<ForJson> json = readForJson(subquery)) {
        noteJsonItems(*json, row.written);
        text = forJsonResult(runQuery(json->query), *json);
    } else if (std::optional<ForXml> xml = readForXml(subquery)) {
        noteXmlItems(*xml, row.written);
        text = forXmlResult(runQuery(xml->query), *xml);
    }
    if (text.rows.empty())
        return Variant::null();
    QString joined;
    for (const std::vector<Variant>& part : text.rows)
        joined += part.empty() ? QString() : part.front().toString();
    return Variant(joined);
}

} // namespace

std::optional<DeferredSubquery> deferRowSubquery(const Tokens& statement, std::size_t open,
                                                 std::size_t close, const Tokens& inner,
                                                 const QueryRows& runQuery) {
    const std::optional<std::size_t> item = itemIndex(statement, open);
    const std::optional<QString> alias = aliasAfter(statement, close);
    if (!item || !alias)
        return std::nullopt;
    DeferredSubquery deferred;
    RowSubquery& row = deferred.subquery;
    row.item = *item;
    row.name = *alias;
    row.subquery = inner;
    row.valueAt.assign(inner.size(), -1);
    row.written = slice(statement, open + 1, close);
    const std::optional<ForXml> xml = readForJson(inner) ? std::nullopt : readForXml(inner);
    row.typedXml = xml && xml->typed;
    // Each run names the next column the subquery's own tables lack.
    constexpr int mostOuterValues = 64;
    for (int value = 0; value <= mostOuterValues; ++value) {
        const std::optional<Tokens> query = queryOf(row.subquery);
        if (!query)
            return std::nullopt;
        try {
            runQuery(*query);
            break;
        } catch (const ProviderFailure& failure) {
            if (!namesNoColumn(failure.nativeError()) || value == mostOuterValues)
                throw;
            // A name 207 gives without its table may be t.c of an aliased t:
            // that before the bare name, which may be the subquery's own column.
            std::optional<QStringList> parts = missingName(failure);
            if (parts && parts->size() == 1)
                if (const std::optional<QStringList> qualified =
                        qualifiedOuterName(row.subquery, parts->front()))
                    parts = qualified;
            const std::optional<Tokens> reference =
                parts ? takeOuterReference(row, *parts, value) : std::nullopt;
            if (!reference)
                throw;
            if (!deferred.replacement.empty())
                deferred.replacement.push_back(Token::punctuation(QStringLiteral(",")));
            deferred.replacement.insert(deferred.replacement.end(), reference->begin(),
                                        reference->end());
            ++row.valueCount;
        }
    }
    if (row.valueCount == 0)
        return std::nullopt;
    return deferred;
}

void fillRowSubqueries(ResultSet& rows, const std::vector<RowSubquery>& subqueries,
                       const QueryRows& runQuery) {
    std::size_t shift = 0; // the columns the subqueries before took beyond one each
    for (const RowSubquery& subquery : subqueries) {
        const std::size_t first = subquery.item + shift;
        const auto from = static_cast<std::ptrdiff_t>(first);
        const auto count = static_cast<std::ptrdiff_t>(subquery.valueCount);
        for (std::vector<Variant>& row : rows.rows) {
            const std::vector<Variant> values(row.begin() + from, row.begin() + from + count);
            const Variant text = subqueryText(subquery, values, runQuery);
            row.erase(row.begin() + from + 1, row.begin() + from + count);
            row[first] = text;
        }
        ColumnInfo column;
        column.name = subquery.name;
        column.type = subquery.typedXml ? adtype::LongVarWChar : adtype::VarWChar;
        rows.columns.erase(rows.columns.begin() + from + 1, rows.columns.begin() + from + count);
        rows.columns[first] = column;
        shift += subquery.valueCount - 1;
    }
}

} // namespace estaciones::db::sqlite
