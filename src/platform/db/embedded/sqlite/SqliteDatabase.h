#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/LruCache.h"
#include "platform/db/embedded/sqlite/StatementCache.h"
#include "platform/db/embedded/storage/DialectSettings.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct sqlite3;

namespace estaciones::db::sqlite {

// One open database file of the data folder, set up for sharing between
// processes (WAL, busy time-out) and for the dialect (functions, collations).
class SqliteDatabase {
public:
    // Opens `file`; creates it only when `create`. Throws ProviderFailure.
    SqliteDatabase(const QString& file, const QString& name, bool create);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* handle() const { return m_db; }
    // The open database of a handle, for code that has only the handle (the
    // engine's SQL functions, the typing of queries); null for one that has none.
    static SqliteDatabase* of(sqlite3* db);
    const QString& name() const { return m_name; }
    const QString& file() const { return m_file; }

    // Runs SQLite SQL that needs no result (several statements allowed).
    // Throws ProviderFailure with the error mapped to SQL Server's.
    void run(const QString& sql);
    // The SQL Server record for the connection's last error on `statement`;
    // a lock wait that ran out is the command time-out.
    ProviderError lastError(const QString& statement) const;
    // Every record of the last failure (a function may give several).
    std::vector<ProviderError> lastErrors(const QString& statement) const;

    // How long a statement waits for another station's write lock: until
    // `deadline` (the command time-out); without one, a fixed 10 s.
    void waitForLocksUntil(std::optional<QDeadlineTimer> deadline) { m_lockDeadline = deadline; }

    // Waits until what this connection committed since the last call is on
    // the disk: commits do not wait for it one by one (see configure()).
    void makeCommitsDurable();

    // Whether a transaction is open on the connection (SQLite ends one by
    // itself after some failures).
    bool inTransaction() const;

    bool hasTable(const QString& table) const;
    QStringList primaryKeyColumns(const QString& table) const;

    // Small key/value settings kept inside the file (collation, ...).
    std::optional<QString> setting(const QString& key) const;
    void setSetting(const QString& key, const QString& value);

    // The collation given at CREATE DATABASE (Latin1_General_CI_AS by default).
    QString collation() const;
    bool accentInsensitive() const;

    // What the dialect's functions read on every call (language, date order,
    // user); the session changes it with SET LANGUAGE / SET DATEFORMAT.
    tsql::DialectSettings& dialectSettings() { return *m_dialect; }

    // The same settings, shared with the translator of this database's statements.
    std::shared_ptr<const tsql::DialectSettings> sharedDialectSettings() const { return m_dialect; }

    // Prepared statements kept between uses on this connection.
    StatementCache& statements() { return m_statements; }

    // What changes whenever the schema of any database of the connection
    // changes (its main file, by this or another connection, and its
    // temporary tables): the schema cookies and the rollbacks, as text to go
    // in a key.
    QString schemaStamp();

    // For a call that only reads: the stamp's reads leave their read
    // transaction open, so that the query which follows runs in it instead
    // of opening its own (each costs the file locks), on the very snapshot
    // the stamp describes. Released before anything else runs (run(), a
    // statement that writes), once the query started, and at the call's end.
    void keepStampSnapshot(bool keep);
    void releaseStampSnapshot();

    // An engine call (a batch, a commit) runs between these two: within it a
    // stamp is read again only after a statement ran; at its end what it
    // committed is made durable.
    void beginCall();
    void endCall();

    // Texts the executor derived from a statement's text (its translation,
    // what the compilation found), under a key that holds the schema stamp
    // and the settings they depend on. Belongs to the connection, so that a
    // reopened file never meets another connection's entries.
    struct DerivedTexts {
        QStringList statements;
        QStringList after;
    };
    LruCache<QString, DerivedTexts>& derivedTexts() { return m_derived; }

    // The types of views' and derived tables' columns as their queries give
    // them, under keys that hold the schema stamp (bind/KeptColumnTypes).
    struct QueryColumnType {
        bool found = false; // the query has the column
        std::optional<QString> declaration;
        bool compound = false; // of a UNION, EXCEPT or INTERSECT
    };
    LruCache<QString, QueryColumnType>& queryColumnTypes() { return m_queryColumnTypes; }

private:
    void configure();
    // Makes a table of the engine's own (CREATE TABLE [IF NOT EXISTS] ...).
    void makeOwnTable(const char* creation);
    // Adds a column of the engine's own tables that a file made before the
    // engine kept it lacks; `value` is what its older rows hold.
    void addMissingColumn(const char* table, const char* column, const char* value,
                          const char* addition);
    // The table of the objects' dates, made once, with no dates for the
    // objects the file already holds.
    void keepObjectDates();
    QString journalMode() const;
    QString readSchemaStamp();
    // The kept statement of a transaction control text run() runs often, or null.
    sqlite3_stmt* transactionStatement(const QString& sql);
    static int waitForLock(void* self, int attempt);

    std::optional<QDeadlineTimer> m_lockDeadline;
    QElapsedTimer m_waitingSince;
    mutable bool m_waitRanOut = false;

    sqlite3* m_db = nullptr;
    std::shared_ptr<tsql::DialectSettings> m_dialect;
    QString m_file;
    QString m_name;
    StatementCache m_statements{[this] { return schemaStamp(); }};
    LruCache<QString, DerivedTexts> m_derived{256};
    LruCache<QString, QueryColumnType> m_queryColumnTypes{256};
    QHash<QString, std::shared_ptr<sqlite3_stmt>> m_cookieReads; // by schema name
    QHash<QString, std::shared_ptr<sqlite3_stmt>> m_transactionStatements; // by their text
    // A rollback puts an older cookie back over a schema that may come
    // again with other contents: rollbacks count in the stamp too.
    unsigned long long m_rollbacks = 0;
    bool m_readOnly = false; // the file cannot be written
    bool m_unsyncedCommits = false;
    // The stamp last read and how many statements had started then.
    unsigned long long m_statementsStarted = 0;
    unsigned long long m_stampStatements = 0;
    unsigned long long m_stampRollbacks = 0;
    QString m_stamp;
    bool m_inCall = false;
    bool m_keepStampSnapshot = false;
    std::vector<sqlite3_stmt*> m_heldCookieReads; // stepped, not yet reset
};

// Tables of our own inside database files, hidden from schema queries.
inline constexpr const char* settingsTable = "estaciones_ajustes";
inline constexpr const char* proceduresTable = tsql::procedureTable;
bool isInternalTable(const QString& name);

} // namespace estaciones::db::sqlite
