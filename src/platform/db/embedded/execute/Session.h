#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/execute/Cursors.h"
#include "platform/db/embedded/parse/StatementNode.h"
#include "platform/db/embedded/sqlite/LruCache.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"
#include "platform/db/embedded/storage/DataFolder.h"

#include <QHash>

#include <functional>
#include <map>

struct sqlite3_value;
#include <memory>

namespace estaciones::db::sqlite {

// What one embedded session keeps between statements: the data folder, one
// open connection per database used (USE switches the current one), the
// login, the SET options and the @@ values.
class Session {
public:
    // Creates a missing database from its seed, when it has one; false when
    // there is no seed for that name.
    using SeedDatabase = std::function<bool(const DataFolder&, const QString& database)>;

    Session(DataFolder folder, SeedDatabase seed);
    // A session on one given file (used while seeding a new database).
    Session(DataFolder folder, std::unique_ptr<SqliteDatabase> database);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const DataFolder& folder() const { return m_folder; }

    // Opens `database` as the current one; a missing database fails with
    // 4060 when connecting (`connecting`) and with 911 on USE.
    void use(const QString& database, bool connecting = false);
    bool hasCurrent() const { return m_current != nullptr; }
    // Throws 3709-like failure when no database is open.
    SqliteDatabase& current() const;
    void closeAll();

    // CREATE DATABASE: 1801 when it exists.
    void createDatabase(const QString& database, const QString& collation);

    QString user;
    bool noCount = false;
    // SET LANGUAGE / SET DATEFORMAT; applyDialectSettings() passes them to
    // every open database's functions.
    tsql::Language language = tsql::Language::Spanish;
    tsql::DateOrder dateOrder = tsql::DateOrder::DMY;
    QString languageName = QStringLiteral("Español"); // @@LANGUAGE
    int dateFirst = 1;                                // @@DATEFIRST: 1 Monday ... 7 Sunday
    bool concatNullYieldsNull = true;
    void applyDialectSettings();
    // The other SET options the executor honours itself.
    bool ansiNulls = true;
    long long rowCountLimit = 0;            // SET ROWCOUNT; 0 is no limit
    QString identityInsertTable;            // the one table with IDENTITY_INSERT ON, if any
    Variant lastIdentity = Variant::null();  // @@IDENTITY: the last of any scope (a trigger's too)
    Variant scopeIdentity = Variant::null(); // SCOPE_IDENTITY(): the last of the running scope
    int triggersRunning = 0; // an INSERT in a trigger into a table without identity keeps @@IDENTITY
    long long rowCount = 0;                 // @@ROWCOUNT
    int lastErrorNumber = 0;                // @@ERROR
    bool xactAbort = false;                 // SET XACT_ABORT
    long long lockTimeout = -1;             // SET LOCK_TIMEOUT in ms; -1 waits as long as the command
    bool quotedIdentifier = true;           // SET QUOTED_IDENTIFIER: "x" names, else a text
    bool implicitTransactions = false;      // SET IMPLICIT_TRANSACTIONS
    // GLOBAL cursors live as long as the connection.
    CursorNames globalCursors;
    int fetchStatus = -1;                     // @@FETCH_STATUS: of the last FETCH on any cursor
    std::weak_ptr<const Cursor> lastOpenedCursor; // @@CURSOR_ROWS tells of it

    // Runs a scalar user-defined function for the SQLite function that
    // stands for its calls (UserFunctionCalls.h): set by the executor of the
    // batch running. The values are the arguments as SQLite passes them.
    std::function<Variant(const QString& function, int count, sqlite3_value** values)>
        runScalarFunction;
    // The errors a function's body ended with, for the statement that called
    // it to end with them (SQLite keeps only a message), and the function
    // or procedure they were raised in (ERROR_PROCEDURE()).
    struct FunctionFailure {
        std::vector<ProviderError> records;
        QString procedure;
    };
    FunctionFailure functionFailure;

    // The statement tree of a batch, read once for a text that repeats
    // (reading depends on nothing but the text). Throws as parseBatch.
    std::shared_ptr<const std::vector<StatementNode>> parsed(const QString& batch);

    // The value of a system function or @@ variable by its name without "@@"
    // (IDENTITY, ROWCOUNT, ERROR, TRANCOUNT, DB_NAME, ...); Null when unknown.
    Variant systemValue(const QString& name) const;
    // DATABASES: the names of the databases as a JSON list, in database_id order.
    QString databaseList() const;

    // Transactions nest as @@TRANCOUNT does; only the outermost reaches
    // SQLite. The outermost takes the file's write lock at once, so that a
    // transaction waits for other stations' at its start and never fails
    // halfway for a snapshot it cannot upgrade. A COMMIT that fails rolls
    // back: nothing stays open that the caller believes finished.
    int transactionDepth() const { return m_transactionDepth; }
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();
    // Around every call of the engine (SqliteDatabase::beginCall, endCall):
    // at its end, what the session's connections committed reaches the disk.
    void beginCall();
    void endCall();
    // After a deadlock or a time-out: the transaction is rolled back, as the
    // server does with its deadlock victim.
    void abandonTransaction();

    // Until when statements wait for other stations' locks (the command
    // time-out of the batch running); nullopt restores the fixed wait.
    void waitForLocksUntil(std::optional<QDeadlineTimer> deadline);
    // The deadline in force (10 s from now without one).
    QDeadlineTimer lockDeadline() const { return m_lockDeadline.value_or(QDeadlineTimer(10000)); }

    // Closes this session's connection to `database` (not the current one,
    // nor the one holding the transaction): RESTORE needs the file to itself.
    void release(const QString& database);

    // BEGIN TRAN name names the outermost transaction; ROLLBACK TRAN with
    // that name rolls everything back, with a savepoint's name (SAVE TRAN)
    // only what came after it, leaving @@TRANCOUNT as it was (6401 for a
    // name that is neither, 628 for SAVE TRAN outside a transaction).
    void nameTransaction(const QString& name);
    void saveTransaction(const QString& savepoint);
    void rollbackTransaction(const QString& name);
    // An error that SET XACT_ABORT ON raised inside TRY leaves the
    // transaction open but uncommittable: XACT_STATE() -1, COMMIT refused
    // (3930) until it is rolled back.
    void doomTransaction();
    bool transactionDoomed() const { return m_transactionDepth > 0 && m_doomed; }
    int xactState() const { return m_transactionDepth == 0 ? 0 : m_doomed ? -1 : 1; }

private:
    void applyDialectSettings(SqliteDatabase& database);

    DataFolder m_folder;
    SeedDatabase m_seed;
    // By lower-case name. A session has one or a few: an ordered map walks
    // them at every call without a hash table's empty buckets.
    std::map<QString, std::shared_ptr<SqliteDatabase>> m_databases;
    SqliteDatabase* m_current = nullptr;
    std::shared_ptr<SqliteDatabase> m_transactionDatabase;
    int m_transactionDepth = 0;
    QString m_transactionName;  // lower case; empty when unnamed
    QStringList m_savepoints;   // lower case, oldest first
    bool m_doomed = false;
    std::optional<QDeadlineTimer> m_lockDeadline;
    LruCache<QString, std::shared_ptr<const std::vector<StatementNode>>> m_parsed{128};
};

} // namespace estaciones::db::sqlite
