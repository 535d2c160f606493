#include "platform/db/embedded/execute/NestedForJson.h"

#include "platform/db/embedded/execute/ForJson.h"
#include "platform/db/embedded/execute/ForXml.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/XmlTexts.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool opensQuery(const Tokens& tokens, std::size_t i) {
    return tokens[i].isPunctuation(u"(") && i + 1 < tokens.size() &&
           (tokens[i + 1].isWord(u"SELECT") || tokens[i + 1].isWord(u"WITH"));
}

Token nationalLiteral(const QString& text) {
    Token literal = Token::string(text);
    literal.text.prepend(QLatin1Char('N'));
    literal.national = true;
    return literal;
}

// The one value the rows of FOR JSON's (or FOR XML's) text make.
Token jsonLiteral(const ResultSet& json) {
    if (json.rows.empty())
        return Token::word(QStringLiteral("NULL"));
    QString text;
    for (const std::vector<Variant>& row : json.rows)
        text += row.empty() ? QString() : row.front().toString();
    return nationalLiteral(text);
}

// The subquery's rows; nothing when it names a column its own tables lack,
// reading the query around it.
std::optional<ResultSet> subqueryRows(const Tokens& query, const QueryRows& runQuery) {
    try {
        return runQuery(query);
    } catch (const ProviderFailure& failure) {
        if (!namesNoColumn(failure.nativeError()))
            throw;
        return std::nullopt;
    }
}

// The engine works out beforehand only what reads no outer column.
[[noreturn]] void failAsCorrelated(const Tokens& query, const QueryRows& runQuery,
                                   const QString& clause) {
    try {
        runQuery(query);
    } catch (const ProviderFailure& failure) {
        ProviderError error =
            sqlServerError(native::NotSupported, {clause + QStringLiteral(" in a subquery")});
        error.description += QStringLiteral(" (%1)").arg(failure.records().front().description);
        throw ProviderFailure({error});
    }
    failWith(native::NotSupported, {clause + QStringLiteral(" in a subquery")});
}

// Where a method of the xml value at tokens(.., close] ends: close when no
// method follows. value('.', 'nvarchar(max)') (or varchar) is its text; any
// other method or path is refused, as the engine keeps no xml values.
std::size_t xmlMethodEnd(const Tokens& tokens, std::size_t close, bool& readsText) {
    readsText = false;
    if (close + 2 >= tokens.size() || !tokens[close + 1].isPunctuation(u"."))
        return close;
    const std::size_t open = close + 3;
    const bool value = tokens[close + 2].isName(u"value") && open < tokens.size() &&
                       tokens[open].isPunctuation(u"(");
    const std::size_t end = value ? closingParenthesis(tokens, open) : tokens.size();
    const bool textValue = value && end == open + 4 && tokens[open + 2].isPunctuation(u",") &&
                           tsql::rewrite::readsXmlText(tokens[close + 2], tokens[open + 1],
                                                       tokens[open + 3]);
    if (!textValue)
        failWith(native::NotSupported, {QStringLiteral("xml data type methods")});
    readsText = true;
    return end;
}

} // namespace

bool hasNestedForJson(const Tokens& tokens) {
    int depth = 0;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth > 0 && tokens[i].isWord(u"FOR") &&
            (tokens[i + 1].isWord(u"JSON") || tokens[i + 1].isWord(u"XML")))
            return true;
    }
    return false;
}

Tokens withNestedForJson(const Tokens& tokens, const QueryRows& runQuery,
                         std::vector<RowSubquery>* perRow) {
    Tokens out;
    out.reserve(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!opensQuery(tokens, i)) {
            out.push_back(tokens[i]);
            continue;
        }
        const std::size_t close = closingParenthesis(tokens, i);
        if (close >= tokens.size()) {
            out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(i), tokens.end());
            break;
        }
        std::size_t end = close; // past an xml method read with it
        // Its own subqueries first, so that its query is one SQLite can run.
        const Tokens written = slice(tokens, i + 1, close);
        const Tokens inner = withNestedForJson(written, runQuery);
        const auto keepSubquery = [&] {
            out.push_back(tokens[i]);
            out.insert(out.end(), inner.begin(), inner.end());
            out.push_back(tokens[close]);
        };
        std::optional<ForJson> json = readForJson(inner);
        std::optional<ForXml> xml = json ? std::nullopt : readForXml(inner);
        if (json || xml) {
            const Tokens& query = json ? json->query : xml->query;
            if (const std::optional<ResultSet> rows = subqueryRows(query, runQuery)) {
                if (xml)
                    noteXmlItems(*xml, written);
                else
                    noteJsonItems(*json, written);
                Token literal = jsonLiteral(json ? forJsonResult(*rows, *json)
                                                 : forXmlResult(*rows, *xml));
                bool readsText = false;
                if (xml && xml->typed)
                    end = xmlMethodEnd(tokens, close, readsText);
                if (readsText && literal.kind == tsql::TokenKind::String)
                    literal = nationalLiteral(xmlStringValue(literal.value()));
                out.push_back(literal);
            } else if (std::optional<DeferredSubquery> deferred =
                           perRow ? deferRowSubquery(tokens, i, close, inner, runQuery)
                                  : std::nullopt) {
                out.insert(out.end(), deferred->replacement.begin(), deferred->replacement.end());
                perRow->push_back(std::move(deferred->subquery));
            } else if (xml && joinsTexts(*xml)) {
                keepSubquery(); // the translator joins the texts wherever the subquery stands
            } else {
                failAsCorrelated(query, runQuery,
                                 json ? QStringLiteral("FOR JSON") : QStringLiteral("FOR XML"));
            }
        } else {
            keepSubquery();
        }
        i = end;
    }
    return out;
}

} // namespace estaciones::db::sqlite
