#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/LookupStatements.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/SequenceStore.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/sqlite/FormatConversion.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace estaciones::db::sqlite {

namespace {
constexpr qint64 defaultLockWaitMs = 10000;

// A query, a data change (SELECT, WITH, VALUES, INSERT, UPDATE, DELETE,
// REPLACE) or a transaction's start or commit (BEGIN, COMMIT, END,
// SAVEPOINT, RELEASE): none of them changes the schema this connection sees,
// and what a function or a trigger runs inside one is a statement of its own,
// counted by itself. A rollback inside one (a trigger's RAISE(ROLLBACK)) is
// counted by the rollback hook. Other statements include ROLLBACK, which can
// take a schema change back.
bool cannotChangeSchema(sqlite3_stmt* statement) {
    const char* sql = sqlite3_sql(statement);
    while (sql && (*sql == ' ' || *sql == '\t' || *sql == '\r' || *sql == '\n')) {
        ++sql;
    }
    if (!sql) {
        return false;
    }
    for (const char* word : {"SELECT", "WITH", "VALUES", "INSERT", "UPDATE", "DELETE", "REPLACE", "BEGIN",
                             "COMMIT", "END", "SAVEPOINT", "RELEASE"}) {
        const int length = static_cast<int>(std::strlen(word));
        if (sqlite3_strnicmp(sql, word, length) == 0 && !std::isalnum(static_cast<unsigned char>(sql[length])) && sql[length] != '_') {
            return true;
        }
    }
    return false;
}

std::mutex connectionsMutex;
std::unordered_map<sqlite3*, SqliteDatabase*>& openConnections() {
    static std::unordered_map<sqlite3*, SqliteDatabase*> byHandle;
    return byHandle;
}

// Names the database a handle belongs to while it is open (null: closed).
void nameConnection(sqlite3* db, SqliteDatabase* database) {
    const std::lock_guard lock(connectionsMutex);
    if (database) {
        openConnections()[db] = database;
    } else {
        openConnections().erase(db);
    }
}
} // namespace

SqliteDatabase* SqliteDatabase::of(sqlite3* db) {
    const std::lock_guard lock(connectionsMutex);
    const auto found = openConnections().find(db);
    return found == openConnections().end() ? nullptr : found->second;
}

bool isInternalTable(const QString& name) {
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("estaciones_"), Qt::CaseInsensitive);
}

SqliteDatabase::SqliteDatabase(const QString& file, const QString& name, bool create)
    : m_dialect(std::make_shared<tsql::DialectSettings>()), m_file(file), m_name(name) {
    // A connection is used by one thread at a time (the program has one):
    // without its mutex, every sqlite3_ call of a row's read is cheaper.
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        failWith(native::CannotOpenDatabase, {name});
    }
    try {
        configure();
    } catch (...) {
        sqlite3_close_v2(m_db);
        throw;
    }
    nameConnection(m_db, this);
    tsql::keepLookupsFor(m_db);
}

void SqliteDatabase::configure() {
    sqlite3_extended_result_codes(m_db, 1);
    // The Bloom filter SQLite (3.38 on) puts before a join's search hashes a
    // text by its length, so it drops the rows that match under the engine's
    // collations with other trailing blanks ('A' = 'A  ', as on the server):
    // joins search without it. (SQLITE_BloomFilter, not in sqlite3.h.)
    constexpr int bloomFilterOptimization = 0x00080000;
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, m_db, bloomFilterOptimization);
    sqlite3_busy_handler(m_db, &SqliteDatabase::waitForLock, this);
    // Also the rollbacks SQLite makes by itself after some failures.
    sqlite3_rollback_hook(
        m_db, [](void* self) { ++static_cast<SqliteDatabase*>(self)->m_rollbacks; }, this);
    // WAL lets readers and one writer of other processes work at once; the
    // busy handler makes writers queue instead of failing.
    // A file that cannot be written (a copy on a read-only share) is read
    // as it is: its journal mode is the file's, and every write is refused
    // with the server's words (3906).
    m_readOnly = sqlite3_db_readonly(m_db, "main") == 1;
    run(m_readOnly ? QStringLiteral("PRAGMA foreign_keys=ON;")
                   : QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA foreign_keys=ON;"));
    // A loop of single-row statements commits once per row: waiting for the
    // disk at each of them made a 366-row loop take seconds. In WAL the
    // commits stay consistent without that wait, and the end of every call
    // waits for the disk once instead (makeCommitsDurable), so that what a
    // call committed is durable when it returns, as it is on the server.
    // Every statement that starts may change the schema, but a query: a stamp
    // read since none started is still the schema's (see schemaStamp). The
    // catalogue's own look-ups, which every data change makes, are queries.
    sqlite3_trace_v2(
        m_db, SQLITE_TRACE_STMT,
        [](unsigned, void* self, void* statement, void*) {
            if (!cannotChangeSchema(static_cast<sqlite3_stmt*>(statement))) {
                ++static_cast<SqliteDatabase*>(self)->m_statementsStarted;
            }
            return 0;
        },
        this);
    if (journalMode() == QLatin1String("wal")) {
        run(QStringLiteral("PRAGMA synchronous=NORMAL"));
        sqlite3_commit_hook(
            m_db,
            [](void* self) {
                auto* database = static_cast<SqliteDatabase*>(self);
                database->m_unsyncedCommits = true;
                tsql::forgetSequenceValuesGiven(database->m_db);
                return 0;
            },
            this);
    } else {
        sqlite3_commit_hook(
            m_db,
            [](void* db) {
                tsql::forgetSequenceValuesGiven(static_cast<sqlite3*>(db));
                return 0;
            },
            m_db);
    }
    // The conversion of an older file calls the engine's functions.
    m_dialect->collation = collation();
    m_dialect->accentInsensitive = accentInsensitive();
    m_dialect->procedureTable = QString::fromLatin1(proceduresTable);
    tsql::registerFunctions(m_db, m_dialect);
    bringToCurrentFormat(m_db, m_file, m_name);
    // Procedures live in a table of the file so that sysobjects can list them.
    makeOwnTable(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name TEXT PRIMARY KEY COLLATE "
                                "NOCASE, definicion TEXT NOT NULL)")
                     .arg(QLatin1String(proceduresTable))
                     .toUtf8()
                     .constData());
    // The constraints' own table, so that the catalogue views can read it.
    makeOwnTable(tsql::constraintTableSql);
    // Its constraints were named by whoever made them, as far as the file tells.
    addMissingColumn(tsql::constraintTable, "system_named", "0",
                     tsql::constraintSystemNamedColumnSql);
    makeOwnTable(tsql::parameterTableSql);
    makeOwnTable(tsql::triggerTableSql);
    makeOwnTable(tsql::functionTableSql);
    makeOwnTable(tsql::triggerOrderTableSql);
    makeOwnTable(tsql::viewTableSql);
    makeOwnTable(tsql::computedColumnTableSql);
    addMissingColumn(tsql::computedColumnTable, "persisted", "NULL",
                     tsql::computedColumnPersistedColumnSql);
    makeOwnTable(tsql::propertyTableSql);
    makeOwnTable(tsql::sequenceTableSql);
    keepObjectDates();
}

void SqliteDatabase::makeOwnTable(const char* creation) {
    if (sqlite3_exec(m_db, creation, nullptr, nullptr, nullptr) == SQLITE_OK || !m_readOnly)
        return;
    // A file made before the engine kept this table, and that cannot be
    // written now: an empty table of the connection's own stands in (SQLite
    // reads a temporary table before the file's), so the catalogue reads it
    // as holding nothing instead of failing.
    QByteArray temporary(creation);
    temporary.replace("CREATE TABLE", "CREATE TEMP TABLE");
    sqlite3_exec(m_db, temporary.constData(), nullptr, nullptr, nullptr);
}

void SqliteDatabase::keepObjectDates() {
    if (hasTable(QString::fromLatin1(tsql::objectDateTable)))
        return;
    makeOwnTable(tsql::objectDateTableSql);
    // What the file holds already was made at a time nobody noted: no dates.
    const QString known =
        QStringLiteral("INSERT OR IGNORE INTO %1 (name) SELECT name FROM sqlite_schema WHERE type "
                       "IN ('table', 'view') UNION SELECT name FROM %2 UNION SELECT name FROM %3 "
                       "UNION SELECT name FROM %4 UNION SELECT name FROM %5 UNION SELECT name "
                       "FROM %6")
            .arg(QLatin1String(tsql::objectDateTable), QLatin1String(proceduresTable),
                 QLatin1String(tsql::functionTable), QLatin1String(tsql::triggerTable),
                 QLatin1String(tsql::constraintTable), QLatin1String(tsql::sequenceTable));
    sqlite3_exec(m_db, known.toUtf8().constData(), nullptr, nullptr, nullptr);
}

int SqliteDatabase::waitForLock(void* self, int attempt) {
    auto* database = static_cast<SqliteDatabase*>(self);
    if (attempt == 0) {
        database->m_waitingSince.start();
        database->m_waitRanOut = false;
    }
    // Milliseconds left to wait; -1 waits for ever (a command time-out of 0).
    qint64 left = std::max<qint64>(0, defaultLockWaitMs - database->m_waitingSince.elapsed());
    if (database->m_lockDeadline) {
        left = database->m_lockDeadline->isForever() ? -1
                                                     : database->m_lockDeadline->remainingTime();
    }
    if (left == 0) {
        database->m_waitRanOut = true;
        return 0;
    }
    // Short naps first (most waits are one commit long), then longer ones.
    constexpr int naps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    const int nap = attempt < int(std::size(naps)) ? naps[attempt] : 100;
    sqlite3_sleep(left < 0 ? nap : int(std::min<qint64>(nap, left)));
    return 1;
}

SqliteDatabase::~SqliteDatabase() {
    releaseStampSnapshot();
    makeCommitsDurable();
    nameConnection(m_db, nullptr);
    tsql::dropLookupsOf(m_db);
    m_statements.clear();
    m_cookieReads.clear();
    m_transactionStatements.clear();
    sqlite3_close_v2(m_db);
}

QString SqliteDatabase::journalMode() const {
    PreparedStatement query(m_db, QStringLiteral("PRAGMA journal_mode"));
    if (!query.ok() || query.step() != SQLITE_ROW) {
        return {};
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)))
        .toLower();
}

void SqliteDatabase::makeCommitsDurable() {
    if (!std::exchange(m_unsyncedCommits, false)) {
        return;
    }
    // The log's pages reach the disk through any descriptor of the file.
    const QByteArray log = (m_file + QStringLiteral("-wal")).toLocal8Bit();
    const int descriptor = ::open(log.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        const bool synced = ::fdatasync(descriptor) == 0;
        ::close(descriptor);
        if (synced) {
            return;
        }
    }
    // A checkpoint writes the log to the disk before it copies it.
    sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

void SqliteDatabase::run(const QString& sql) {
    releaseStampSnapshot();
    if (sql.contains(QLatin1String("ROLLBACK"), Qt::CaseInsensitive)) {
        ++m_rollbacks; // also ROLLBACK TO, which the rollback hook does not see
    }
    int rc = SQLITE_OK;
    if (sqlite3_stmt* kept = transactionStatement(sql)) {
        sqlite3_step(kept);
        rc = sqlite3_reset(kept); // the step's error, if it had one
    } else {
        char* message = nullptr;
        rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
        sqlite3_free(message);
    }
    if (rc != SQLITE_OK) {
        throw ProviderFailure({lastError(sql)});
    }
    if (sql.startsWith(QLatin1String("ROLLBACK"), Qt::CaseInsensitive)) {
        tsql::keepSequenceValuesGiven(m_db);
    }
}

sqlite3_stmt* SqliteDatabase::transactionStatement(const QString& sql) {
    // Every write outside a transaction is wrapped in one of its own: these
    // few texts are compiled once, not at every statement.
    static const QStringList kept = {QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("BEGIN"),
                                     QStringLiteral("COMMIT"), QStringLiteral("ROLLBACK")};
    if (!kept.contains(sql)) {
        return nullptr;
    }
    std::shared_ptr<sqlite3_stmt>& statement = m_transactionStatements[sql];
    if (!statement) {
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &prepared, nullptr) != SQLITE_OK) {
            sqlite3_finalize(prepared);
            return nullptr;
        }
        statement.reset(prepared, sqlite3_finalize);
    }
    return statement.get();
}

ProviderError SqliteDatabase::lastError(const QString& statement) const {
    return lastErrors(statement).front();
}

std::vector<ProviderError> SqliteDatabase::lastErrors(const QString& statement) const {
    const bool waitRanOut = std::exchange(m_waitRanOut, false);
    if ((sqlite3_extended_errcode(m_db) & 0xff) == SQLITE_BUSY && waitRanOut) {
        return {queryTimeoutError()};
    }
    SqliteFailure failure;
    failure.extendedCode = sqlite3_extended_errcode(m_db);
    failure.message = QString::fromUtf8(sqlite3_errmsg(m_db));
    failure.statement = statement;
    failure.databaseName = m_name;
    const QString table = tableOfConstraintMessage(failure.message);
    if (!table.isEmpty()) {
        failure.primaryKey = primaryKeyColumns(table);
    }
    return translateSqliteErrors(failure);
}

void SqliteDatabase::beginCall() {
    m_inCall = true;
    m_stamp.clear();
}

void SqliteDatabase::endCall() {
    releaseStampSnapshot();
    m_keepStampSnapshot = false;
    m_inCall = false;
    m_stamp.clear();
    makeCommitsDurable();
}

QString SqliteDatabase::schemaStamp() {
    // Within one call, nothing but a statement of this connection changes the
    // schema between two reads that no statement separates (another
    // connection's change then is no later than one just before our read).
    if (m_inCall && !m_stamp.isEmpty() && m_stampStatements == m_statementsStarted &&
        m_stampRollbacks == m_rollbacks) {
        return m_stamp;
    }
    m_stamp = readSchemaStamp();
    m_stampStatements = m_statementsStarted;
    m_stampRollbacks = m_rollbacks;
    return m_stamp;
}

void SqliteDatabase::keepStampSnapshot(bool keep) {
    m_keepStampSnapshot = keep;
    if (!keep) {
        releaseStampSnapshot();
    }
}

void SqliteDatabase::releaseStampSnapshot() {
    for (sqlite3_stmt* read : m_heldCookieReads) {
        sqlite3_reset(read);
    }
    m_heldCookieReads.clear();
}

QString SqliteDatabase::readSchemaStamp() {
    releaseStampSnapshot(); // a read again starts from the newest snapshot
    QString stamp;
    for (int i = 0; const char* schema = sqlite3_db_name(m_db, i); ++i) {
        const QString name = QString::fromUtf8(schema);
        std::shared_ptr<sqlite3_stmt>& read = m_cookieReads[name];
        if (!read) {
            sqlite3_stmt* statement = nullptr;
            const QByteArray sql = "PRAGMA \"" + QByteArray(schema).replace('"', "\"\"") +
                                   "\".schema_version";
            sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr);
            read.reset(statement, sqlite3_finalize);
        }
        if (!read || sqlite3_step(read.get()) != SQLITE_ROW) {
            // A cookie that cannot be read stamps nothing the same twice.
            ++m_rollbacks;
        } else {
            stamp += name + QLatin1Char(':') +
                     QString::number(sqlite3_column_int64(read.get(), 0)) + QLatin1Char(';');
        }
        if (read && m_keepStampSnapshot) {
            m_heldCookieReads.push_back(read.get());
        } else if (read) {
            sqlite3_reset(read.get());
        }
    }
    return stamp + QString::number(m_rollbacks);
}

bool SqliteDatabase::inTransaction() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

bool SqliteDatabase::hasTable(const QString& table) const {
    // #names are the connection's own temporary tables, kept in SQLite's temp schema.
    const QString catalogue = table.startsWith(QLatin1Char('#'))
                                  ? QStringLiteral("sqlite_temp_master")
                                  : QStringLiteral("sqlite_master");
    PreparedStatement query(m_db, QStringLiteral("SELECT 1 FROM %1 WHERE type IN ('table','view') "
                                                 "AND name = ?1 COLLATE NOCASE")
                                      .arg(catalogue));
    query.bindText(1, table);
    return query.ok() && query.step() == SQLITE_ROW;
}

void SqliteDatabase::addMissingColumn(const char* table, const char* column,
                                      const char* value, const char* addition) {
    PreparedStatement query(m_db, QStringLiteral("SELECT 1 FROM pragma_table_info(?1) WHERE "
                                                 "name = ?2"));
    query.bindText(1, QString::fromLatin1(table));
    query.bindText(2, QString::fromLatin1(column));
    if (!query.ok() || query.step() == SQLITE_ROW)
        return;
    if (sqlite3_exec(m_db, addition, nullptr, nullptr, nullptr) == SQLITE_OK || !m_readOnly)
        return;
    // A file that cannot be written: a view of the connection's own, read
    // before the file's table, gives the column its value for older rows.
    const QByteArray view = QStringLiteral("CREATE TEMP VIEW IF NOT EXISTS \"%1\" AS SELECT *, %2 "
                                           "AS \"%3\" FROM main.\"%1\"")
                                .arg(QLatin1String(table), QLatin1String(value),
                                     QLatin1String(column))
                                .toUtf8();
    sqlite3_exec(m_db, view.constData(), nullptr, nullptr, nullptr);
}

QStringList SqliteDatabase::primaryKeyColumns(const QString& table) const {
    PreparedStatement query(m_db, QStringLiteral("SELECT name FROM pragma_table_info(?1) "
                                                 "WHERE pk > 0 ORDER BY pk"));
    query.bindText(1, table);
    QStringList columns;
    while (query.ok() && query.step() == SQLITE_ROW) {
        columns << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
    }
    return columns;
}

std::optional<QString> SqliteDatabase::setting(const QString& key) const {
    if (!hasTable(QString::fromLatin1(settingsTable))) {
        return std::nullopt;
    }
    PreparedStatement query(
        m_db,
        QStringLiteral("SELECT valor FROM %1 WHERE clave = ?1").arg(QLatin1String(settingsTable)));
    query.bindText(1, key);
    if (!query.ok() || query.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
}

void SqliteDatabase::setSetting(const QString& key, const QString& value) {
    run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (clave TEXT PRIMARY KEY, valor TEXT)")
            .arg(QLatin1String(settingsTable)));
    PreparedStatement write(m_db, QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?1, ?2)")
                                      .arg(QLatin1String(settingsTable)));
    write.bindText(1, key);
    write.bindText(2, value);
    if (!write.ok() || write.step() != SQLITE_DONE) {
        throw ProviderFailure({lastError(QString())});
    }
}

QString SqliteDatabase::collation() const {
    return setting(QStringLiteral("collation")).value_or(QStringLiteral("Latin1_General_CI_AS"));
}

bool SqliteDatabase::accentInsensitive() const {
    return collation().endsWith(QLatin1String("_AI"), Qt::CaseInsensitive);
}

} // namespace estaciones::db::sqlite
