#pragma once

#include "platform/core/Variant.h"
#include "platform/db/AdoConstants.h"
#include "platform/db/Engine.h"
#include "platform/db/Errors.h"
#include "platform/db/FaultInjection.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace estaciones::db {

class Recordset;

namespace detail {
struct ConnectionState;
}

// ADO's Connection. A handle with reference semantics, like a VB object
// variable: copies share one connection; a default-constructed Connection is
// a new, closed one (New ADODB.Connection).
//
// Failed operations throw estaciones::Error (ProviderFailure for provider
// errors, whose records also replace errors()); the ADO numbers are those of
// errnum:: (3704 closed, 3705 already open, 3709 unusable, ...).
class Connection {
public:
    Connection();

    // Opens with `connectionString`, or the one set before when empty. `user`
    // and `password`, when not empty, override the string's. Throws 3705 when
    // already open; provider failures fill errors() and throw.
    void open(const QString& connectionString = {}, const QString& user = {},
              const QString& password = {}, int options = adOptionUnspecified);
    // Closes; open recordsets of this connection keep their rows (client
    // cursors) but can no longer write. Throws 3704 when already closed.
    void close();
    int state() const; // adStateClosed / adStateOpen

    // Runs `commandText` (a whole batch is fine) and returns its first result
    // set as an open static recordset, or a closed recordset when the text
    // returned no rows. `recordsAffected` receives ADO's RecordsAffected
    // (-1 after SET NOCOUNT ON). Throws 3709 when closed.
    Recordset execute(const QString& commandText, std::int64_t* recordsAffected = nullptr,
                      int options = adOptionUnspecified);
    Recordset execute(const QString& commandText, std::int64_t& recordsAffected,
                      int options = adOptionUnspecified);

    QString connectionString() const;
    // Throws 3705 while open.
    void setConnectionString(const QString& text);
    // The ODBC or embedded provider in use, "" when closed.
    QString provider() const;

    int cursorLocation() const; // adUseServer (default) or adUseClient
    void setCursorLocation(int location);
    int commandTimeout() const; // seconds; 30 by default, 0 waits for ever
    void setCommandTimeout(int seconds);
    int connectionTimeout() const; // seconds; 15 by default
    void setConnectionTimeout(int seconds);

    // The current database (USE); setting it while closed applies at open.
    QString defaultDatabase() const;
    void setDefaultDatabase(const QString& name);
    int isolationLevel() const; // adXactReadCommitted by default
    void setIsolationLevel(int level);

    // Returns the new nesting level (1 for the outer transaction).
    int beginTrans();
    void commitTrans();
    void rollbackTrans();

    // adSchemaTables / adSchemaColumns with (catalogue, schema, table[, column])
    // restrictions; Empty restrictions do not filter; names ignore case.
    Recordset openSchema(int schema, const std::vector<Variant>& restrictions = {});

    Errors& errors();
    const Errors& errors() const;

    // Test seam: planned failures and dropped links (FaultInjection.h).
    FaultInjector& faults();

    // The engine while open (nullptr when closed); for the layer and tests.
    Engine* engine() const;

    bool sameObjectAs(const Connection& other) const { return m_state == other.m_state; }

private:
    friend class Recordset;
    explicit Connection(std::shared_ptr<detail::ConnectionState> state)
        : m_state(std::move(state)) {}
    std::shared_ptr<detail::ConnectionState> m_state;
};

} // namespace estaciones::db
