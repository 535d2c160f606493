#include "platform/db/embedded/execute/NestedForJson.h"

#include "platform/db/embedded/execute/ForJson.h"
#include "platform/db/embedded/execute/ForXml.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool opensQuery(const Tokens& tokens, std::size_t i) {
    return tokens[i].isPunctuation(u"(") && i + 1 < tokens.size() &&
           (tokens[i + 1].isWord(u"SELECT") || tokens[i + 1].isWord(u"WITH"));
}

// The one value the rows of FOR JSON's (or FOR XML's) text make.
Token jsonLiteral(const ResultSet& json) {
    if (json.rows.empty())
        return Token::word(QStringLiteral("NULL"));
    QString text;
    for (const std::vector<Variant>& row : json.rows)
        text += row.empty() ? QString() : row.front().toString();
    Token literal = Token::string(text);
    literal.text.prepend(QLatin1Char('N'));
    literal.national = true;
    return literal;
}

// The subquery's rows; one that names a column its own tables lack reads the
// query around it, which the engine cannot work out beforehand.
ResultSet subqueryRows(const Tokens& query, const QueryRows& runQuery, const QString& clause) {
    try {
        return runQuery(query);
    } catch (const ProviderFailure& failure) {
        if (!namesNoColumn(failure.nativeError()))
            throw;
        ProviderError error =
            sqlServerError(native::NotSupported, {clause + QStringLiteral(" in a subquery")});
        error.description += QStringLiteral(" (%1)").arg(failure.records().front().description);
        throw ProviderFailure({error});
    }
}

} // namespace

bool hasNestedForJson(const Tokens& tokens) {
    int depth = 0;
    bool nestedClause = false;
    for (std::size_t i = 0; i + 1 < tokens.size() && !nestedClause; ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        nestedClause = depth > 0 && tokens[i].isWord(u"FOR") &&
                       (tokens[i + 1].isWord(u"JSON") || tokens[i + 1].isWord(u"XML"));
    }
    if (!nestedClause)
        return false;
    // Worked out beforehand unless it is PATH('')'s texts joined.
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!opensQuery(tokens, i))
            continue;
        const std::size_t close = closingParenthesis(tokens, i);
        const Tokens inner = slice(tokens, i + 1, std::min(close, tokens.size()));
        if (readForJson(inner))
            return true;
        const std::optional<ForXml> xml = readForXml(inner);
        if (xml && !joinsTexts(*xml))
            return true;
    }
    return false;
}

Tokens withNestedForJson(const Tokens& tokens, const QueryRows& runQuery) {
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
        // Its own subqueries first, so that its query is one SQLite can run.
        const Tokens written = slice(tokens, i + 1, close);
        const Tokens inner = withNestedForJson(written, runQuery);
        std::optional<ForXml> xml = readForJson(inner) ? std::nullopt : readForXml(inner);
        if (const std::optional<ForJson> json = readForJson(inner)) {
            out.push_back(jsonLiteral(
                forJsonResult(subqueryRows(json->query, runQuery, QStringLiteral("FOR JSON")), *json)));
        } else if (xml && !joinsTexts(*xml)) {
            noteXmlItems(*xml, written);
            out.push_back(jsonLiteral(
                forXmlResult(subqueryRows(xml->query, runQuery, QStringLiteral("FOR XML")), *xml)));
        } else {
            // No FOR clause, or the texts joined the translator writes for SQLite.
            out.push_back(tokens[i]);
            out.insert(out.end(), inner.begin(), inner.end());
            out.push_back(tokens[close]);
        }
        i = close;
    }
    return out;
}

} // namespace estaciones::db::sqlite
