#pragma once

// The one place that calls unixODBC: RAII handles and a checked call that
// turns every diagnostic record into a ProviderError.

#include "platform/db/Engine.h"
#include "platform/db/odbc/OdbcEngine.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QString>

#include <memory>
#include <vector>

namespace estaciones::db::odbc {

// Owns one ODBC handle of one type; frees it (disconnecting a connection
// first when asked) on destruction.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE parent); // allocates; throws ProviderFailure
    ~Handle();
    Handle(Handle&& other) noexcept;
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }
    explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }
    void reset();
    void setConnected(bool connected) { m_connected = connected; }

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
    bool m_connected = false;
};

// How diagnostics read: who reports them and what to hide from them.
struct DiagnosticContext {
    Backend backend = Backend::Generic;
    QString password; // masked out of every message
};

// Every diagnostic record of `handle`, informational ones included, in order.
std::vector<ProviderError> readDiagnostics(const Handle& handle, const DiagnosticContext& context);

// SQL Server's informational messages (severity 10 or less: changed database
// context / language / character set, PRINT output) never reach Errors.
bool isInformational(const ProviderError& record, Backend backend);
bool isWarning(const ProviderError& record); // SQLSTATE 01xxx

// The ADO number for an error record (0x80040E14 command error,
// 0x80040E37 no such table, 0x80040E2F integrity, 0x80040E31 time-out,
// 0x80004005 otherwise).
std::int32_t adoNumberFor(const QString& sqlState, std::int32_t nativeError, const QString& message,
                          Backend backend);

// Collects the records of one call: errors and non-informational warnings.
class Diagnostics {
public:
    explicit Diagnostics(const DiagnosticContext& context) : m_context(context) {}
    // Reads the handle's records after `rc`; returns whether rc is a success
    // (SQL_SUCCESS, SQL_SUCCESS_WITH_INFO or SQL_NO_DATA).
    bool take(SQLRETURN rc, const Handle& handle);
    bool hasErrors() const { return m_hasErrors; }
    const std::vector<ProviderError>& records() const { return m_records; }
    // Errors first (the first error is the one thrown), then warnings.
    [[noreturn]] void raise() const;
    // Throws when an error was collected.
    void raiseIfErrors() const {
        if (m_hasErrors) {
            raise();
        }
    }
    std::vector<ProviderError> warnings() const;

private:
    const DiagnosticContext& m_context;
    std::vector<ProviderError> m_records;
    bool m_hasErrors = false;
};

// Whether the driver manager of `environment` knows the driver `driver`: a
// name registered in odbcinst.ini (compared ignoring case) or the path of a
// driver library that exists.
bool isDriverInstalled(const Handle& environment, const QString& driver);

// check(rc, handle, context): throws ProviderFailure on failure; warnings ignored.
void check(SQLRETURN rc, const Handle& handle, const DiagnosticContext& context);

// UTF-16 conversions between QString and SQLWCHAR (unixODBC: 2 bytes).
inline SQLWCHAR* wide(const QString& text) {
    return reinterpret_cast<SQLWCHAR*>(
        const_cast<char16_t*>(reinterpret_cast<const char16_t*>(text.utf16())));
}
inline QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

} // namespace estaciones::db::odbc
