#include "platform/db/embedded/parse/LexicalLimits.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::tsql {

namespace {

using sqlite::failWith;
namespace native = sqlite::native;

void checkUnterminated(const Token& token) {
    if (!token.unterminated) {
        return;
    }
    if (token.kind == TokenKind::Comment) {
        failWith(native::MissingEndComment);
    }
    failWith(native::UnclosedQuotation, {token.value()});
}

void checkLength(const Token& token) {
    if (token.kind != TokenKind::Word && token.kind != TokenKind::QuotedName &&
        token.kind != TokenKind::Variable) {
        return;
    }
    const QString name = token.value();
    if (name.size() > maximumIdentifierLength) {
        failWith(native::IdentifierTooLong, {name.left(maximumIdentifierLength)});
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
                failWith(native::NestedTooDeeply);
            }
        } else if (token.isPunctuation(u")")) {
            --depth;
        }
    }
}

} // namespace estaciones::db::tsql
