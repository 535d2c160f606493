// BEGIN / COMMIT / ROLLBACK / SAVE TRANSACTION as statements of a batch.
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/StatementTokens.h"

#include <QSet>

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The statements that open a transaction under IMPLICIT_TRANSACTIONS ON; a
// SELECT only when it reads a table.
bool opensImplicitTransaction(const StatementNode& node) {
    static const QSet<QString> verbs = {"ALTER", "CREATE", "DELETE", "DROP",  "FETCH",
                                        "GRANT", "INSERT", "MERGE",  "OPEN",  "REVOKE",
                                        "TRUNCATE", "UPDATE"};
    const QString first = node.firstWord();
    if (first == QLatin1String("BEGIN")) {
        const QString second = node.word(1);
        return second == QLatin1String("TRAN") || second == QLatin1String("TRANSACTION");
    }
    if (first == QLatin1String("SELECT")) {
        return std::any_of(node.tokens.begin(), node.tokens.end(),
                           [](const Token& token) { return token.isWord(u"FROM"); });
    }
    return verbs.contains(first);
}

} // namespace

void BatchExecutor::openImplicitTransaction(const StatementNode& node) {
    if (m_session.implicitTransactions && m_session.transactionDepth() == 0 &&
        opensImplicitTransaction(node)) {
        m_session.beginTransaction();
    }
}

void BatchExecutor::transaction(const Tokens& tokens, VariableScope& scope) {
    const QString first = upperWord(tokens, 0);
    std::size_t i = 1;
    if (first == QLatin1String("BEGIN") && upperWord(tokens, i) == QLatin1String("DISTRIBUTED")) {
        ++i;
    }
    const QString keyword = upperWord(tokens, i);
    if (keyword == QLatin1String("TRAN") || keyword == QLatin1String("TRANSACTION") ||
        keyword == QLatin1String("WORK")) {
        ++i;
    } else if (first == QLatin1String("SAVE")) {
        syntaxErrorNear(tokens, i);
    }
    // A transaction or savepoint name: a word, [name] or a variable holding it.
    QString name;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        name = scope.value(tokens[i].text).toString();
    } else if (i < tokens.size() && tokens[i].isNameLike() && !tokens[i].isWord(u"WITH")) {
        name = tokens[i].value();
    }
    if (first == QLatin1String("BEGIN")) {
        m_session.beginTransaction();
        m_session.nameTransaction(name);
    } else if (first == QLatin1String("COMMIT")) {
        m_session.commitTransaction();
    } else if (first == QLatin1String("ROLLBACK")) {
        name.isEmpty() ? m_session.rollbackTransaction() : m_session.rollbackTransaction(name);
    } else if (first == QLatin1String("SAVE")) {
        if (name.isEmpty()) {
            syntaxErrorNear(tokens, i);
        }
        m_session.saveTransaction(name);
    }
}

void BatchExecutor::checkTransactionCount(int before) const {
    const int after = m_session.transactionDepth();
    if (after != before) {
        failWith(native::TransactionCountMismatch,
                 {QString::number(before), QString::number(after)});
    }
}

} // namespace estaciones::db::sqlite
