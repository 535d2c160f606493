#include "platform/db/Connection.h"

#include "platform/db/ConnectionString.h"
#include "platform/db/EngineFactory.h"
#include "platform/db/LayerInternal.h"
#include "platform/db/Recordset.h"
#include "platform/db/RecordsetBuilder.h"

namespace estaciones::db {

using detail::ConnectionState;
using detail::kConnectionSource;

namespace {
[[noreturn]] void raiseConnectionError(std::int32_t number) {
    throw standardError(number, kConnectionSource);
}

QString providerName(const QString& connectionString) {
    const ConnectionString cs(connectionString);
    if (engineKindFor(connectionString) == EngineKind::Embedded) {
        return QStringLiteral("SQLOLEDB");
    }
    return cs.value(QStringLiteral("Provider"), QStringLiteral("MSDASQL"));
}
} // namespace

Connection::Connection() : m_state(std::make_shared<ConnectionState>()) {
    ConnectionState* state = m_state.get();
    m_state->faults.setDropHandler([state] {
        if (state->engine) {
            try {
                state->engine->close();
            } catch (...) {
            }
        }
    });
}

void Connection::open(const QString& connectionString, const QString& user, const QString& password,
                      int /*options*/) {
    ConnectionState& s = *m_state;
    if (s.open) {
        raiseConnectionError(errnum::ObjectOpen);
    }
    if (!connectionString.isEmpty()) {
        s.connectionString = connectionString;
    }
    std::unique_ptr<Engine> engine = createEngine(s.connectionString);
    engine->setLoginTimeout(s.connectionTimeout);
    s.call(FaultOperation::Open, [&] {
        engine->open(s.connectionString, user, password);
        if (!s.pendingDatabase.isEmpty()) {
            engine->useDatabase(s.pendingDatabase);
        }
    });
    s.engine = std::move(engine);
    s.open = true;
    s.pendingDatabase.clear();
    s.provider = providerName(s.connectionString);
    s.faults.afterReopen();
    if (s.isolationLevel != adXactReadCommitted) {
        try {
            s.engine->setIsolationLevel(s.isolationLevel);
        } catch (const ProviderFailure& failure) {
            s.errors.replace(failure.records());
        }
    }
}

void Connection::close() {
    ConnectionState& s = *m_state;
    if (!s.open) {
        raiseConnectionError(errnum::ObjectClosed);
    }
    // A pending transaction is rolled back, as the server does when the
    // session ends; a dropped link closes without complaint.
    if (s.engine) {
        try {
            if (!s.faults.isDropped()) {
                for (int guard = 0;
                     guard < 64 && s.engine->isOpen() && s.engine->transactionDepth() > 0;
                     ++guard) {
                    s.engine->rollbackTransaction();
                }
            }
        } catch (...) {
        }
        try {
            s.engine->close();
        } catch (...) {
        }
    }
    s.engine.reset();
    s.open = false;
    s.provider.clear();
    s.faults.afterReopen();
}

int Connection::state() const {
    return m_state->open ? adStateOpen : adStateClosed;
}

Recordset Connection::execute(const QString& commandText, std::int64_t* recordsAffected,
                              int options) {
    ConnectionState& s = *m_state;
    if (!s.open) {
        raiseConnectionError(errnum::ObjectClosed);
    }
    ExecutionResult result = s.call(FaultOperation::Execute, [&] {
        return s.engine->execute(commandText, {}, s.commandTimeout);
    });
    s.takeWarnings(result.warnings);
    if (recordsAffected != nullptr) {
        *recordsAffected = result.rowsAffected;
    }
    if (result.resultSets.empty() || (options > 0 && (options & adExecuteNoRecords))) {
        return Recordset();
    }
    // Execute gives a read-only recordset; forward-only unless client cursors.
    auto state =
        detail::makeRecordsetState(m_state, std::move(result.resultSets.front()), commandText,
                                   adOpenForwardOnly, adLockReadOnly, s.cursorLocation);
    detail::keepLaterResultSets(*state, result.resultSets);
    return Recordset(std::move(state));
}

Recordset Connection::execute(const QString& commandText, std::int64_t& recordsAffected,
                              int options) {
    return execute(commandText, &recordsAffected, options);
}

QString Connection::connectionString() const {
    return m_state->connectionString;
}

void Connection::setConnectionString(const QString& text) {
    if (m_state->open) {
        raiseConnectionError(errnum::ObjectOpen);
    }
    m_state->connectionString = text;
}

QString Connection::provider() const {
    return m_state->provider;
}

int Connection::cursorLocation() const {
    return m_state->cursorLocation;
}

void Connection::setCursorLocation(int location) {
    if (location != adUseClient && location != adUseServer) {
        throw Error(
            errnum::hresult(0x800A0BB9u),
            QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or "
                           "are in conflict with one another."),
            kConnectionSource);
    }
    m_state->cursorLocation = location;
}

int Connection::commandTimeout() const {
    return m_state->commandTimeout;
}

void Connection::setCommandTimeout(int seconds) {
    m_state->commandTimeout = seconds < 0 ? 0 : seconds;
}

int Connection::connectionTimeout() const {
    return m_state->connectionTimeout;
}

void Connection::setConnectionTimeout(int seconds) {
    if (m_state->open) {
        raiseConnectionError(errnum::ObjectOpen);
    }
    m_state->connectionTimeout = seconds < 0 ? 0 : seconds;
}

QString Connection::defaultDatabase() const {
    const ConnectionState& s = *m_state;
    if (!s.open || !s.engine || s.faults.isDropped()) {
        return s.pendingDatabase;
    }
    return s.engine->currentDatabase();
}

void Connection::setDefaultDatabase(const QString& name) {
    ConnectionState& s = *m_state;
    if (!s.open) {
        s.pendingDatabase = name;
        return;
    }
    s.call(FaultOperation::Execute, [&] { s.engine->useDatabase(name); });
}

int Connection::isolationLevel() const {
    return m_state->isolationLevel;
}

void Connection::setIsolationLevel(int level) {
    ConnectionState& s = *m_state;
    if (s.open) {
        s.call(FaultOperation::Execute, [&] { s.engine->setIsolationLevel(level); });
    }
    s.isolationLevel = level;
}

int Connection::beginTrans() {
    ConnectionState& s = *m_state;
    if (!s.open) {
        raiseConnectionError(errnum::ObjectClosed);
    }
    s.call(FaultOperation::BeginTrans, [&] { s.engine->beginTransaction(); });
    return s.engine->transactionDepth();
}

namespace {
void requireTransaction(ConnectionState& s) {
    if (s.engine->transactionDepth() <= 0) {
        ProviderError record;
        record.number = adoerr::NoTransaction;
        record.description = QStringLiteral("No transaction is active.");
        record.source = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
        record.sqlState = QStringLiteral("25000");
        throw ProviderFailure({record});
    }
}
} // namespace

void Connection::commitTrans() {
    ConnectionState& s = *m_state;
    if (!s.open) {
        raiseConnectionError(errnum::ObjectClosed);
    }
    s.call(FaultOperation::CommitTrans, [&] {
        requireTransaction(s);
        s.engine->commitTransaction();
    });
}

void Connection::rollbackTrans() {
    ConnectionState& s = *m_state;
    if (!s.open) {
        raiseConnectionError(errnum::ObjectClosed);
    }
    s.call(FaultOperation::RollbackTrans, [&] {
        requireTransaction(s);
        s.engine->rollbackTransaction();
    });
}

Recordset Connection::openSchema(int schema, const std::vector<Variant>& restrictions) {
    ConnectionState& s = *m_state;
    if (!s.open) {
        raiseConnectionError(errnum::ObjectClosed);
    }
    ResultSet rows = s.call(FaultOperation::OpenSchema,
                            [&] { return s.engine->openSchema(schema, restrictions); });
    return Recordset(detail::makeRecordsetState(m_state, std::move(rows), QString(), adOpenStatic,
                                                adLockReadOnly, adUseClient));
}

Errors& Connection::errors() {
    return m_state->errors;
}

const Errors& Connection::errors() const {
    return m_state->errors;
}

FaultInjector& Connection::faults() {
    return m_state->faults;
}

Engine* Connection::engine() const {
    return m_state->open ? m_state->engine.get() : nullptr;
}

} // namespace estaciones::db
