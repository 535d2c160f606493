#include "platform/db/embedded/execute/ResolvedText.h"

#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/BatchParser.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

bool isSessionFunction(const QString& upperName) {
    static const QSet<QString> names{"SCOPE_IDENTITY", "ERROR_NUMBER",    "ERROR_MESSAGE",
                                     "ERROR_SEVERITY", "ERROR_STATE",     "ERROR_LINE",
                                     "ERROR_PROCEDURE", "XACT_STATE",     "TRIGGER_NESTLEVEL"};
    return names.contains(upperName);
}

Tokens resolvedTokens(const Tokens& tokens, const SessionValue& valueOf) {
    Tokens out;
    out.reserve(tokens.size());
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        depth += token.isPunctuation(u"(") ? 1 : token.isPunctuation(u")") ? -1 : 0;
        if (token.kind == TokenKind::Variable) {
            out.push_back(valueOf(token).value_or(token));
        } else if (token.kind == TokenKind::Word && i + 2 < tokens.size() &&
                   tokens[i + 1].isPunctuation(u"(") && tokens[i + 2].isPunctuation(u")") &&
                   isSessionFunction(token.text.toUpper())) {
            const Token name = Token::word(token.text.toUpper());
            if (const std::optional<Token> value = valueOf(name)) {
                out.push_back(*value);
                i += 2;
            } else {
                out.push_back(token);
            }
        } else if (token.isWord(u"OPTION") && depth == 0 && i + 1 < tokens.size() &&
                   tokens[i + 1].isPunctuation(u"(")) {
            // Query hints (MAXRECURSION, ...): SQLite has no limits to lift.
            i = closingParenthesis(tokens, i + 1);
        } else {
            out.push_back(token);
        }
    }
    return out;
}

QString resolvedText(const Tokens& tokens, const SessionValue& valueOf) {
    return joinTokens(resolvedTokens(tokens, valueOf));
}

} // namespace estaciones::db::sqlite
