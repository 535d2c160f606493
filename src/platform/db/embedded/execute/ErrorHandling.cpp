// What an error does to the batch: the statement, the batch or the
// transaction ends as on the server, and @@ERROR / @@ROWCOUNT follow every
// statement.
#include "platform/db/embedded/execute/ErrorHandling.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BatchExecutor.h"

namespace estaciones::db::sqlite {

bool isCompileError(int number) {
    switch (number) {
    case native::SyntaxError:
    case native::SyntaxErrorNearKeyword:
    case native::IdentifierTooLong:
    case native::UnclosedQuotation:
    case native::MissingEndComment:
    case native::MustBeFirstInBatch:
    case native::NestedTooDeeply:
    case native::UndeclaredVariable:
    case native::VariableRedeclared:
    case native::RethrowOutsideCatch:
        return true;
    default:
        return false;
    }
}

bool isNameResolutionError(int number) {
    return number == native::InvalidObjectName || namesNoColumn(number) ||
           isCompileError(number);
}

bool isAttention(const ProviderFailure& failure) {
    return failure.nativeError() == native::QueryTimeout && failure.number() == errnum::Timeout;
}

void BatchExecutor::onStatementFailure(const ProviderFailure& failure, const StatementNode& node) {
    const int number = failure.nativeError();
    m_session.lastErrorNumber = number;
    std::vector<ProviderError> records = failure.records();
    if (!dynamic_cast<const CompileFailure*>(&failure)) {
        for (ProviderError& record : records) {
            record.line = node.line > 0 ? node.line : record.line;
        }
    }
    const auto* raised = dynamic_cast<const RaisedError*>(&failure);
    bool endsBatch = raised ? raised->thrown() : !endsOnlyTheStatement(number);
    // SET XACT_ABORT ON: a run-time error ends the batch and the transaction;
    // inside TRY the transaction stays, uncommittable, for CATCH to roll back.
    // RAISERROR is the one raised error it leaves alone.
    const bool abortsTransaction = m_session.xactAbort && !isCompileError(number) &&
                                   !(raised && !raised->thrown()) && !isAttention(failure);
    if (abortsTransaction) {
        endsBatch = true;
        if (m_tryDepth > 0) {
            m_session.doomTransaction();
        } else if (m_session.transactionDepth() > 0) {
            ignoringErrors([this] { m_session.rollbackTransaction(); });
        }
    }
    // A function's error names the function, whatever statement called it.
    QString procedure = std::exchange(m_session.functionFailure.procedure, {});
    if (procedure.isEmpty() && !m_procedures.isEmpty()) {
        procedure = m_procedures.back();
    }
    // Inside a function any error ends the function and the statement that called it.
    if (endsBatch || m_tryDepth > 0 || m_functionDepth > 0 || isAttention(failure)) {
        throw StatementFailure(std::move(records), m_nesting, procedure);
    }
    m_errors.insert(m_errors.end(), records.begin(), records.end());
    noteMessages(records);
}

void BatchExecutor::endBatch(std::vector<ProviderError>& records) {
    // A transaction that cannot be committed does not outlive its batch.
    if (m_session.transactionDoomed()) {
        ignoringErrors([this] { m_session.rollbackTransaction(); });
        records.push_back(sqlServerError(native::UncommittableAtBatchEnd));
        noteMessages({records.back()});
    }
}

void BatchExecutor::setStatementStatus(const StatementNode& node) {
    const QString first = node.firstWord();
    if (first != QLatin1String("RAISERROR")) {
        m_session.lastErrorNumber = 0; // a RAISERROR that ran has set it (WITH SETERROR)
    }
    const bool assignsVariable = first == QLatin1String("SET") && node.tokens.size() > 1 &&
                                 node.tokens[1].kind == tsql::TokenKind::Variable &&
                                 !node.tokens[1].text.startsWith(QLatin1String("@@"));
    if (assignsVariable) {
        m_session.rowCount = 1;
    } else if (first == QLatin1String("SET") || first == QLatin1String("USE") ||
               first == QLatin1String("PRINT") || first == QLatin1String("RAISERROR") ||
               first == QLatin1String("BEGIN") || first == QLatin1String("COMMIT")) {
        m_session.rowCount = 0;
    }
}

} // namespace estaciones::db::sqlite
