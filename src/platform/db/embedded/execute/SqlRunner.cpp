#include "platform/db/embedded/execute/SqlRunner.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/bind/ResultColumns.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/execute/DerivedTexts.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/NulCharacters.h"
#include "platform/db/embedded/execute/VariableScope.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/functions/SequenceStore.h"
#include "platform/db/embedded/sqlite/StatementCache.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

// A system value the translator left as a parameter (@__db_name for
// DB_NAME(), @__databases for the catalogue's databases ...), in a statement
// or a condition alike; other parameters are left as they are.
void bindSystemValue(const Session& session, sqlite3_stmt* statement, int index) {
    const char* name = sqlite3_bind_parameter_name(statement, index);
    if (name && qstrncmp(name, "@__", 3) == 0) {
        bindValue(statement, index, session.systemValue(QString::fromUtf8(name + 3)));
    }
}

int progressCheck(void* context) {
    const auto* runner = static_cast<const SqlRunner*>(context);
    try {
        runner->checkTimeout();
        return 0;
    } catch (const ProviderFailure&) {
        return 1; // interrupts the statement
    }
}

// Whether a statement gives rows. SQLite's ALTER TABLE ADD COLUMN reports a
// column of its own (the check of the existing rows) and gives none.
bool isQuery(sqlite3_stmt* statement) {
    if (sqlite3_column_count(statement) == 0) {
        return false;
    }
    const char* text = sqlite3_sql(statement);
    while (text && (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')) {
        ++text;
    }
    return !text || qstrnicmp(text, "ALTER", 5) != 0;
}

// Statements SQLite runs only outside a transaction.
bool runsOutsideTransactions(const QString& verb) {
    return verb == QLatin1String("VACUUM") || verb == QLatin1String("ATTACH") ||
           verb == QLatin1String("DETACH");
}

// The table a CREATE TABLE ... AS query makes, as the statement names it;
// empty for any other statement.
QString tableCreatedFromQuery(const char* sql) {
    static const QRegularExpression created(
        QStringLiteral(R"(^\s*CREATE\s+(?:TEMP\s+)?TABLE\s+("(?:[^"]|"")+"|[^\s(]+)\s+AS\s)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = created.match(QString::fromUtf8(sql));
    return match.hasMatch() ? match.captured(1) : QString();
}

bool isCounted(const QString& verb) {
    return verb == QLatin1String("INSERT") || verb == QLatin1String("UPDATE") ||
           verb == QLatin1String("DELETE");
}

// The statement's result columns, described once while its plan holds:
// reading the declarations and the catalogue cost more than a short query.
std::vector<ColumnInfo> describedColumns(LentStatement& lent, sqlite3_stmt* statement) {
    if (const auto kept = lent.describedColumns()) {
        return *kept;
    }
    bool typedByValue = false;
    std::vector<ColumnInfo> columns = describeColumns(statement, &typedByValue);
    if (!typedByValue) {
        lent.keepDescribedColumns(std::make_shared<const std::vector<ColumnInfo>>(columns));
    }
    return columns;
}

} // namespace

SqlRunner::SqlRunner(Session& session, const std::vector<Variant>& parameters, int timeoutSeconds)
    : m_session(session), m_parameters(&parameters), m_timeoutSeconds(timeoutSeconds) {
    m_clock.start();
    // Waits for other stations' locks count against the command time-out.
    m_session.waitForLocksUntil(timeoutSeconds > 0
                                    ? QDeadlineTimer(timeoutSeconds * 1000LL)
                                    : QDeadlineTimer(QDeadlineTimer::Forever));
}

SqlRunner::~SqlRunner() {
    m_session.waitForLocksUntil(std::nullopt);
    if (m_watched) {
        sqlite3_progress_handler(m_watched, 0, nullptr, nullptr);
    }
}

void SqlRunner::checkTimeout() const {
    if (m_timeoutSeconds > 0 && m_clock.elapsed() > m_timeoutSeconds * 1000LL) {
        throw ProviderFailure({queryTimeoutError()});
    }
}

void SqlRunner::watch(sqlite3* db) {
    if (m_timeoutSeconds <= 0 || db == m_watched) {
        return;
    }
    if (m_watched) {
        sqlite3_progress_handler(m_watched, 0, nullptr, nullptr);
    }
    m_watched = db;
    sqlite3_progress_handler(db, 1000, progressCheck, this);
}

std::vector<ProviderError> SqlRunner::failure(sqlite3* db, const QString& statement) {
    std::vector<ProviderError> errors;
    if ((sqlite3_extended_errcode(db) & 0xff) == SQLITE_INTERRUPT) {
        errors = {queryTimeoutError()};
    } else if (!m_session.functionFailure.records.empty()) {
        // A user-defined function's body failed: its errors, not SQLite's message of them.
        errors = std::exchange(m_session.functionFailure.records, {});
    } else {
        errors = m_session.current().lastErrors(statement);
    }
    // SQLite undid the failed statement's writes, the sequence values it took among them.
    tsql::keepSequenceValuesGiven(db);
    return errors;
}

StatementOutcome SqlRunner::run(const QString& text, const QString& verb,
                                const QString& insertTarget) {
    checkTimeout();
    SqliteDatabase& database = m_session.current();
    // A write outside a transaction takes the write lock before it reads,
    // so that all the SQLite statements of one T-SQL statement wait for
    // other stations together and land together.
    const bool ownTransaction = verb != QLatin1String("SELECT") &&
                                !runsOutsideTransactions(verb) && !database.inTransaction();
    try {
        if (!ownTransaction) {
            return runStatements(text, verb, insertTarget);
        }
        database.run(QStringLiteral("BEGIN IMMEDIATE"));
        StatementOutcome outcome = runStatements(text, verb, insertTarget);
        database.run(QStringLiteral("COMMIT"));
        return outcome;
    } catch (const ProviderFailure& failure) {
        if (ownTransaction && database.inTransaction()) {
            ignoringErrors([&] { database.run(QStringLiteral("ROLLBACK")); });
        }
        if (endsTheTransaction(failure)) {
            m_session.abandonTransaction();
        }
        throw;
    }
}

StatementOutcome SqlRunner::runStatements(const QString& text, const QString& verb,
                                          const QString& insertTarget) {
    sqlite3* db = m_session.current().handle();
    watch(db);
    StatementOutcome outcome;
    const QByteArray utf8 = withNulCharactersSpelled(text).toUtf8();
    const char* rest = utf8.constData();
    const char* const end = rest + utf8.size();
    StatementCache& cache = m_session.current().statements();
    while (rest < end) {
        LentStatement lent;
        const char* tail = nullptr;
        if (cache.prepare(db, rest, static_cast<int>(end - rest), lent, &tail) != SQLITE_OK) {
            throw ProviderFailure(failure(db, text));
        }
        if (tail <= rest) {
            failWith(native::SyntaxError, {QString::fromUtf8(rest, 1)}); // no progress: never loop
        }
        rest = tail;
        sqlite3_stmt* const statement = lent.handle();
        if (!statement) {
            continue; // only blanks or comments were left
        }
        const int parameterCount = sqlite3_bind_parameter_count(statement);
        for (int i = 1; i <= parameterCount; ++i) {
            const char* name = sqlite3_bind_parameter_name(statement, i);
            if ((!name || name[0] == '?') && m_nextParameter < m_parameters->size()) {
                bindValue(statement, i, (*m_parameters)[m_nextParameter++]);
            } else {
                bindSystemValue(m_session, statement, i);
            }
        }
        const bool returnsRows = isQuery(statement);
        ResultSet result;
        SqliteDatabase& database = m_session.current();
        if (!sqlite3_stmt_readonly(statement)) {
            database.releaseStampSnapshot(); // a write starts from the newest snapshot
        }
        int rc = sqlite3_step(statement);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            // Before anything else runs on the connection and replaces the message.
            throw ProviderFailure(failure(db, text));
        }
        database.releaseStampSnapshot(); // the query holds the snapshot now
        if (returnsRows) {
            result.columns = describedColumns(lent, statement);
        }
        const int columnCount = static_cast<int>(result.columns.size());
        while (rc == SQLITE_ROW) {
            std::vector<Variant>& row = result.rows.emplace_back();
            row.reserve(static_cast<std::size_t>(columnCount));
            for (int i = 0; i < columnCount; ++i) {
                row.push_back(readValue(statement, i, result.columns[static_cast<std::size_t>(i)]));
            }
            // SET ROWCOUNT n: the query stops after n rows.
            const long long limit = m_session.rowCountLimit;
            if (limit > 0 && static_cast<long long>(result.rows.size()) >= limit) {
                rc = SQLITE_DONE;
                break;
            }
            rc = sqlite3_step(statement);
        }
        if (rc != SQLITE_DONE) {
            throw ProviderFailure(failure(db, text));
        }
        if (returnsRows) {
            m_session.rowCount = static_cast<long long>(result.rows.size());
            outcome.resultSet = std::move(result);
        } else if (isCounted(verb) ||
                   (verb == QLatin1String("SELECT") &&
                    QByteArray(sqlite3_sql(statement)).trimmed().startsWith("INSERT"))) {
            // SELECT ... INTO reaches SQLite as CREATE TABLE and INSERT: it counts the rows copied.
            outcome.rowsChanged = sqlite3_changes(db);
            m_session.rowCount = outcome.rowsChanged;
        } else if (const QString copy = verb == QLatin1String("SELECT")
                                            ? tableCreatedFromQuery(sqlite3_sql(statement))
                                            : QString();
                   !copy.isEmpty()) {
            // ... or as CREATE TABLE ... AS SELECT, which SQLite does not count.
            outcome.rowsChanged = scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(copy))
                                      .toInt64();
            m_session.rowCount = outcome.rowsChanged;
        } else {
            m_session.rowCount = 0;
        }
    }
    if (verb == QLatin1String("INSERT") && outcome.rowsChanged > 0 && !insertTarget.isEmpty()) {
        // The identity store's current value is the last one given.
        const Variant current = identityGiven(insertTarget);
        if (!current.isNull()) {
            // Both: the scope's own value is put back around a trigger's or a procedure's.
            m_session.lastIdentity = current;
            m_session.scopeIdentity = current;
            return outcome;
        }
        // A fact of the table's definition: looked up once per schema.
        const bool autoIncrement =
            !derivedTexts(m_session.current(), u'A', insertTarget, [&] {
                 const Variant found = scalar(
                     QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                                    "%1 COLLATE NOCASE AND sql LIKE '%AUTOINCREMENT%'")
                         .arg(literalOf(Variant(insertTarget))));
                 return DerivedTexts{found.isNull() ? QStringList() : QStringList{insertTarget},
                                     {}};
             }).statements.isEmpty();
        if (autoIncrement) {
            m_session.lastIdentity = static_cast<long long>(sqlite3_last_insert_rowid(db));
            m_session.scopeIdentity = m_session.lastIdentity;
        } else if (m_session.triggersRunning == 0) {
            // A statement that gave no identity: @@IDENTITY is NULL after it, but
            // not after a trigger's insert into such a table (the first insert's
            // value stays); SCOPE_IDENTITY() keeps the scope's last.
            m_session.lastIdentity = Variant::null();
        }
    }
    return outcome;
}

StatementOutcome SqlRunner::runBound(const QString& text, const std::vector<Variant>& values) {
    const std::vector<Variant>* parameters = std::exchange(m_parameters, &values);
    const std::size_t next = std::exchange(m_nextParameter, 0);
    const auto restore = [&] {
        m_parameters = parameters;
        m_nextParameter = next;
    };
    try {
        StatementOutcome outcome = run(text, QStringLiteral("SELECT"));
        restore();
        return outcome;
    } catch (...) {
        restore();
        throw;
    }
}

std::optional<Variant> SqlRunner::takeParameter() {
    if (m_nextParameter >= m_parameters->size()) {
        return std::nullopt;
    }
    return (*m_parameters)[m_nextParameter++];
}

Variant SqlRunner::identityGiven(const QString& table) {
    sqlite3* db = m_session.current().handle();
    // Whether the table has a row in the store is a fact of the schema (only
    // its definition, a rename or a drop adds or takes one): asked once per
    // schema, so that a table without identity costs no look-up per INSERT.
    const bool hasIdentity = !derivedTexts(m_session.current(), u'S', table, [&] {
                                  const bool has = tsql::hasIdentityStore(db, table) &&
                                                   tsql::storedIdentityValue(db, table, "current");
                                  return DerivedTexts{has ? QStringList{table} : QStringList(), {}};
                              }).statements.isEmpty();
    if (!hasIdentity) {
        return Variant::null();
    }
    const std::optional<qint64> current = tsql::storedIdentityValue(db, table, "current");
    return current ? Variant(static_cast<long long>(*current)) : Variant::null();
}

Variant SqlRunner::scalar(const QString& text) {
    sqlite3* db = m_session.current().handle();
    const QByteArray utf8 = withNulCharactersSpelled(text).toUtf8();
    LentStatement lent;
    const char* tail = nullptr;
    if (m_session.current().statements().prepare(db, utf8.constData(),
                                                 static_cast<int>(utf8.size()), lent,
                                                 &tail) != SQLITE_OK) {
        throw ProviderFailure(failure(db, text));
    }
    sqlite3_stmt* const statement = lent.handle();
    if (!statement) {
        return Variant::null();
    }
    for (int i = 1; i <= sqlite3_bind_parameter_count(statement); ++i) {
        bindSystemValue(m_session, statement, i);
    }
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        const std::vector<ColumnInfo> columns = describeColumns(statement);
        return columns.empty() ? Variant::null() : readValue(statement, 0, columns[0]);
    }
    if (rc != SQLITE_DONE) {
        throw ProviderFailure(failure(db, text));
    }
    return Variant::null();
}

} // namespace estaciones::db::sqlite
