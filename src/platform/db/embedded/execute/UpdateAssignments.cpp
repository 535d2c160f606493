#include "platform/db/embedded/execute/UpdateAssignments.h"

#include "platform/db/embedded/execute/StatementTokens.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The first of `words` at the outer level of tokens[from, ...), or tokens.size().
std::size_t topLevelWord(const Tokens& tokens, std::size_t from,
                         std::initializer_list<const char*> words) {
    int depth = 0;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth != 0) {
            continue;
        }
        for (const char* word : words) {
            if (tokens[i].isWord(QString::fromLatin1(word))) {
                return i;
            }
        }
    }
    return tokens.size();
}

void append(Tokens& to, const Tokens& tokens, std::size_t from, std::size_t end) {
    to.insert(to.end(), tokens.begin() + static_cast<std::ptrdiff_t>(from),
              tokens.begin() + static_cast<std::ptrdiff_t>(end));
}

// One more item of a comma list.
void appendItem(Tokens& list, const Tokens& tokens, std::size_t from, std::size_t end) {
    if (!list.empty()) {
        list.push_back(Token::punctuation(QStringLiteral(",")));
    }
    append(list, tokens, from, end);
}

// Where the expression of "[qualifier.]column = expression" starts at `at`; `at` when it is none.
std::size_t afterColumnAssignment(const Tokens& tokens, std::size_t at, std::size_t end) {
    std::size_t i = at;
    if (i + 2 < end && tokens[i].isNameLike() && tokens[i + 1].isPunctuation(u".")) {
        i += 2;
    }
    if (i + 1 < end && tokens[i].isNameLike() && tokens[i + 1].isPunctuation(u"=")) {
        return i + 2;
    }
    return at;
}

} // namespace

std::optional<UpdateAssignments> splitUpdateAssignments(const Tokens& tokens) {
    if (upperWord(tokens, 0) != QLatin1String("UPDATE")) {
        return std::nullopt;
    }
    const std::size_t set = topLevelWord(tokens, 1, {"SET"});
    if (set >= tokens.size()) {
        return std::nullopt;
    }
    const std::size_t listEnd = topLevelWord(tokens, set + 1, {"FROM", "WHERE", "OUTPUT", "OPTION"});
    Tokens variables;
    Tokens columns;
    for (const Range& item : splitByCommas(tokens, set + 1, listEnd)) {
        const std::size_t at = item.from;
        const bool assignsVariable = at + 2 < item.to && tokens[at].kind == TokenKind::Variable &&
                                     !tokens[at].text.startsWith(QLatin1String("@@")) &&
                                     tokens[at + 1].isPunctuation(u"=");
        if (!assignsVariable) {
            appendItem(columns, tokens, at, item.to);
            continue;
        }
        // @v = column = expression: the column takes the expression, the variable its value.
        const std::size_t value = afterColumnAssignment(tokens, at + 2, item.to);
        if (value != at + 2) {
            appendItem(columns, tokens, at + 2, item.to);
        }
        appendItem(variables, tokens, at, at + 2);
        append(variables, tokens, value, item.to);
    }
    if (variables.empty()) {
        return std::nullopt;
    }
    UpdateAssignments split;
    // The rows the UPDATE reaches: its own FROM, or the target itself.
    split.select.push_back(Token::word(QStringLiteral("SELECT")));
    std::size_t target = 1;
    if (upperWord(tokens, target) == QLatin1String("TOP")) {
        const std::size_t close = closingParenthesis(tokens, target + 1);
        append(split.select, tokens, target, close + 1);
        target = close + 1;
    }
    append(split.select, variables, 0, variables.size());
    if (listEnd >= tokens.size() || !tokens[listEnd].isWord(u"FROM")) {
        split.select.push_back(Token::word(QStringLiteral("FROM")));
        append(split.select, tokens, target, set);
    }
    const std::size_t outputAt = topLevelWord(tokens, listEnd, {"OUTPUT"});
    append(split.select, tokens, listEnd, outputAt);
    if (!columns.empty()) {
        append(split.update, tokens, 0, set + 1);
        append(split.update, columns, 0, columns.size());
        append(split.update, tokens, listEnd, tokens.size());
    }
    return split;
}

} // namespace estaciones::db::sqlite
