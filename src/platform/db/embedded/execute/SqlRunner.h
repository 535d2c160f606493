#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/execute/Session.h"

#include <QElapsedTimer>

#include <optional>

namespace estaciones::db::sqlite {

// What one statement gave: a result set, or the count of rows it changed.
struct StatementOutcome {
    std::optional<ResultSet> resultSet;
    std::int64_t rowsChanged = -1; // INSERT/UPDATE/DELETE only
    // The rows of its OUTPUT clause went to the client already: they carry
    // its count, as the server sends one count for the statement.
    bool countGivenByRows = false;
};

// Runs statements of SQLite SQL (translated T-SQL) on the session's current
// database: binds the caller's "?" values in order, collects rows with ADO
// column types, keeps @@ROWCOUNT and @@IDENTITY, maps errors to SQL Server's
// and stops at the command time-out.
class SqlRunner {
public:
    SqlRunner(Session& session, const std::vector<Variant>& parameters, int timeoutSeconds);
    ~SqlRunner();
    SqlRunner(const SqlRunner&) = delete;
    SqlRunner& operator=(const SqlRunner&) = delete;

    // `text` may hold several SQLite statements (a translation can emit
    // more than one); the last result set is returned. `verb` is the T-SQL
    // statement's first word (INSERT, UPDATE, ...), which decides counting.
    StatementOutcome run(const QString& text, const QString& verb,
                         const QString& insertTarget = {});

    // `text` with its '?' bound to `values` in order rather than to the
    // caller's parameters (a cursor's row read again by its id).
    StatementOutcome runBound(const QString& text, const std::vector<Variant>& values);

    // The caller's next '?' value, taken as a statement that binds it would
    // (a cursor's query takes its values at DECLARE); nullopt when none is left.
    std::optional<Variant> takeParameter();

    // The first column of the first row of a one-value query (Null if no row).
    Variant scalar(const QString& text);

    // Whether the time-out has passed (loops check it between statements).
    void checkTimeout() const;

private:
    StatementOutcome runStatements(const QString& text, const QString& verb,
                                   const QString& insertTarget);
    // The identity the last INSERT into `table` gave, from the identity
    // store; Null when the table has none there.
    Variant identityGiven(const QString& table);
    void watch(sqlite3* db);
    std::vector<ProviderError> failure(sqlite3* db, const QString& statement);

    Session& m_session;
    const std::vector<Variant>* m_parameters;
    std::size_t m_nextParameter = 0;
    int m_timeoutSeconds;
    QElapsedTimer m_clock;
    sqlite3* m_watched = nullptr;
};

} // namespace estaciones::db::sqlite
