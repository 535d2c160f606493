#include "platform/db/embedded/execute/QueryShape.h"

#include "platform/db/embedded/parse/Pieces.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// Words that end a FROM source's name or stand where its alias would.
bool endsSource(const QString& word) {
    static const QStringList words = {
        QStringLiteral("JOIN"),  QStringLiteral("INNER"), QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"), QStringLiteral("FULL"),  QStringLiteral("CROSS"),
        QStringLiteral("OUTER"), QStringLiteral("ON"),    QStringLiteral("WHERE"),
        QStringLiteral("GROUP"), QStringLiteral("HAVING"), QStringLiteral("ORDER"),
        QStringLiteral("UNION"), QStringLiteral("EXCEPT"), QStringLiteral("INTERSECT"),
        QStringLiteral("WITH"),  QStringLiteral("APPLY"), QStringLiteral("OPTION")};
    return words.contains(word);
}

bool isClauseEnd(const Token& token) {
    for (const char16_t* word : {u"WHERE", u"GROUP", u"HAVING", u"ORDER", u"UNION", u"EXCEPT",
                                 u"INTERSECT", u"OPTION"})
        if (token.isWord(word))
            return true;
    return false;
}

} // namespace

// The FROM sources of tokens[from, to): their names as written and aliases.
std::vector<SourceName> readSources(const Tokens& tokens, std::size_t from, std::size_t to) {
    std::vector<SourceName> sources;
    std::size_t i = from;
    bool expectSource = true;
    while (i < to && !isClauseEnd(tokens[i])) {
        if (!expectSource) {
            if (tokens[i].isPunctuation(u",") || tokens[i].isWord(u"JOIN") ||
                tokens[i].isWord(u"APPLY"))
                expectSource = true;
            i = tokens[i].isPunctuation(u"(") ? closingParenthesis(tokens, i) + 1 : i + 1;
            continue;
        }
        SourceName source;
        if (tokens[i].isPunctuation(u"(")) {
            i = closingParenthesis(tokens, i) + 1;
        } else {
            QStringList parts;
            while (i < to && tokens[i].isNameLike()) {
                parts << tokens[i].value();
                if (i + 1 < to && tokens[i + 1].isPunctuation(u".")) {
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            source.table = parts.isEmpty() ? QString() : parts.back();
            source.element = parts.join(QLatin1Char('.'));
        }
        if (i < to && tokens[i].isWord(u"AS"))
            ++i;
        if (i < to && tokens[i].isNameLike() && !endsSource(upperWord(tokens, i)))
            source.element = tokens[i++].value();
        sources.push_back(source);
        expectSource = false;
    }
    return sources;
}

SelectList selectList(const Tokens& tokens) {
    std::size_t select = 0;
    int depth = 0;
    for (; select < tokens.size(); ++select) {
        depth += tokens[select].isPunctuation(u"(") ? 1 : tokens[select].isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && tokens[select].isWord(u"SELECT"))
            break;
    }
    std::size_t i = select + 1;
    if (i < tokens.size() && (tokens[i].isWord(u"DISTINCT") || tokens[i].isWord(u"ALL")))
        ++i;
    if (i < tokens.size() && tokens[i].isWord(u"TOP")) {
        ++i;
        i = i < tokens.size() && tokens[i].isPunctuation(u"(") ? closingParenthesis(tokens, i) + 1
                                                               : i + 1;
        if (i < tokens.size() && tokens[i].isWord(u"PERCENT"))
            ++i;
        if (i + 1 < tokens.size() && tokens[i].isWord(u"WITH") && tokens[i + 1].isWord(u"TIES"))
            i += 2;
    }
    std::size_t end = i;
    for (depth = 0; end < tokens.size(); ++end) {
        depth += tokens[end].isPunctuation(u"(") ? 1 : tokens[end].isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && (tokens[end].isWord(u"FROM") || isClauseEnd(tokens[end])))
            break;
    }
    return {i, end};
}

// What table an item names: its qualifier when it is one column `q.c`.
QString itemQualifier(const Tokens& tokens, const Range& item) {
    const std::size_t length = item.to - item.from;
    const bool qualified = length >= 3 && tokens[item.from].isNameLike() &&
                           tokens[item.from + 1].isPunctuation(u".");
    if (qualified && tokens[item.from + 2].isPunctuation(u"*"))
        return QStringLiteral("*");
    if (length == 1 && tokens[item.from].isPunctuation(u"*"))
        return QStringLiteral("*");
    if (!qualified || !tokens[item.from + 2].isNameLike())
        return {};
    const bool aliased = length == 3 || (length == 4 && tokens[item.from + 3].isNameLike()) ||
                         (length == 5 && tokens[item.from + 3].isWord(u"AS"));
    return aliased ? tokens[item.from].value() : QString();
}

// The alias of a select-list item (AS name, name, 'name'); none without one.
std::optional<QString> itemAlias(const Tokens& tokens, const Range& item) {
    if (item.to - item.from < 2)
        return std::nullopt;
    const Token& last = tokens[item.to - 1];
    const Token& before = tokens[item.to - 2];
    if (before.isWord(u"AS"))
        return last.value();
    tsql::Piece word;
    static_cast<Token&>(word) = last;
    const bool aliasLike = (last.isNameLike() && !tsql::isReservedWord(word)) ||
                           last.kind == TokenKind::String;
    const bool endsOperand = before.isNameLike() || before.isPunctuation(u")") ||
                             before.kind == TokenKind::String || before.kind == TokenKind::Number;
    if (aliasLike && endsOperand)
        return last.value();
    return std::nullopt;
}

// A column named as it is (c, t.c, s.t.c): its name is the column's.
bool isColumnReference(const Tokens& tokens, const Range& item) {
    for (std::size_t i = item.from; i < item.to; ++i) {
        const bool namePlace = (i - item.from) % 2 == 0;
        if (namePlace ? !tokens[i].isNameLike() : !tokens[i].isPunctuation(u"."))
            return false;
    }
    return item.to > item.from && (item.to - item.from) % 2 == 1;
}

std::vector<bool> subqueryItems(const Tokens& query,
                                const std::function<bool(const Tokens&)>& matches) {
    const SelectList list = selectList(query);
    const std::vector<Range> items = splitByCommas(query, list.from, list.to);
    std::vector<bool> found;
    for (const Range& item : items) {
        if (!itemQualifier(query, item).compare(QLatin1String("*")))
            return {}; // the items are not the columns
        bool subquery = false;
        if (item.from < item.to && query[item.from].isPunctuation(u"(")) {
            const std::size_t close = closingParenthesis(query, item.from);
            const std::size_t after = item.to - close - 1;
            const bool aliasOnly = after == 0 || (after <= 2 && itemAlias(query, item));
            subquery = close < item.to && aliasOnly && matches(slice(query, item.from + 1, close));
        }
        found.push_back(subquery);
    }
    return found;
}

QStringList fromSourceNames(const Tokens& query) {
    const SelectList list = selectList(query);
    QStringList names;
    if (list.to < query.size() && query[list.to].isWord(u"FROM"))
        for (const SourceName& source : readSources(query, list.to + 1, query.size()))
            names << source.element;
    return names;
}

} // namespace estaciones::db::sqlite
