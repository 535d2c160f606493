#include "platform/db/embedded/execute/TriggerBody.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

bool isCall(const Tokens& tokens, std::size_t i, QStringView name) {
    return tokens[i].isWord(name) && i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u"(");
}

void pushCondition(Tokens& out, bool value) {
    // A comparison, so that it reads as a condition in IF and CASE WHEN alike.
    out.push_back(Token::punctuation(QStringLiteral("(")));
    out.push_back(Token::number(QStringLiteral("1")));
    out.push_back(Token::punctuation(QStringLiteral("=")));
    out.push_back(Token::number(value ? QStringLiteral("1") : QStringLiteral("0")));
    out.push_back(Token::punctuation(QStringLiteral(")")));
}

// COLUMNS_UPDATED() is varbinary, column 1 in the lowest bit of its first
// byte; in arithmetic it converts to an integer with its first byte highest.
qint64 updatedBits(const FiringStatement& statement) {
    const qsizetype bytes = std::max<qsizetype>(1, (statement.columns.size() + 7) / 8);
    if (bytes > 8) {
        failWith(native::NotSupported, {QStringLiteral("COLUMNS_UPDATED() de más de 64 columnas")});
    }
    quint64 value = 0;
    for (qsizetype c = 0; c < statement.columns.size(); ++c) {
        if (!statement.updated.contains(statement.columns[c], Qt::CaseInsensitive)) {
            continue;
        }
        const qsizetype byte = c / 8;
        value |= quint64(1) << ((bytes - 1 - byte) * 8 + c % 8);
    }
    return static_cast<qint64>(value);
}

} // namespace

Tokens triggerBodyFor(const Tokens& body, const FiringStatement& statement) {
    Tokens out;
    out.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
        const Token& token = body[i];
        const bool qualified = i > 0 && body[i - 1].isPunctuation(u".");
        if (!qualified && isCall(body, i, u"UPDATE") && i + 3 < body.size() &&
            body[i + 2].isNameLike() && body[i + 3].isPunctuation(u")")) {
            pushCondition(out, statement.updated.contains(body[i + 2].value(), Qt::CaseInsensitive));
            i += 3;
        } else if (!qualified && isCall(body, i, u"COLUMNS_UPDATED") && i + 2 < body.size() &&
                   body[i + 2].isPunctuation(u")")) {
            out.push_back(Token::number(QString::number(updatedBits(statement))));
            i += 2;
        } else if (!qualified && token.isName(u"inserted")) {
            out.push_back(Token::word(statement.insertedTable));
        } else if (!qualified && token.isName(u"deleted")) {
            out.push_back(Token::word(statement.deletedTable));
        } else {
            out.push_back(token);
        }
    }
    return out;
}

} // namespace estaciones::db::sqlite
