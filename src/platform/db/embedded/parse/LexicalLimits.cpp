#include "platform/db/embedded/parse/LexicalLimits.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::tsql {

namespace {

namespace native = sqlite::native;

// The server's error on the line of the token that caused it.
[[noreturn]] void failAt(const Token& token, int number, const QStringList& arguments = {}) {
    ProviderError error = sqlite::sqlServerError(number, arguments);
    error.line = std::max(token.line, 1);
    throw ProviderFailure({std::move(error)});
}

void checkUnterminated(const Token& token) {
    if (!token.unterminated) {
        return;
    }
    if (token.kind == TokenKind::Comment) {
        failAt(token, native::MissingEndComment);
    }
    failAt(token, native::UnclosedQuotation, {token.value()});
}

void checkLength(const Token& token) {
    if (token.kind != TokenKind::Word && token.kind != TokenKind::QuotedName &&
        token.kind != TokenKind::Variable) {
        return;
    }
    const QString name = token.value();
    if (name.size() > maximumIdentifierLength) {
        failAt(token, native::IdentifierTooLong, {name.left(maximumIdentifierLength)});
    }
}

} // namespace

void checkLexicalLimits(const Tokens& tokens) {
    int depth = 0;
    for (const Token& token : tokens) {
        checkUnterminated(token);
        checkLength(token);
        if (token.isPunctuation(u"(")) {
            if (++depth > maximumParenthesisDepth) {
                failAt(token, native::NestedTooDeeply);
            }
        } else if (token.isPunctuation(u")")) {
            --depth;
        }
    }
}

} // namespace estaciones::db::tsql
