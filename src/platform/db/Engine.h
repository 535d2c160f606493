#pragma once

#include "platform/core/Error.h"
#include "platform/core/Variant.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace estaciones::db {

// ADO DataTypeEnum codes, as Field::Type reports them.
namespace adtype {
constexpr int Empty = 0;
constexpr int SmallInt = 2;
constexpr int Integer = 3;
constexpr int Single = 4;
constexpr int Double = 5;
constexpr int Currency = 6;
constexpr int Date = 7;
constexpr int Boolean = 11;
constexpr int Variant = 12;
constexpr int Decimal = 14;
constexpr int TinyInt = 16;
constexpr int UnsignedTinyInt = 17;
constexpr int BigInt = 20;
constexpr int Guid = 72;
constexpr int Binary = 128;
constexpr int Char = 129;
constexpr int WChar = 130;
constexpr int Numeric = 131;
constexpr int DBDate = 133;
constexpr int DBTime = 134;
constexpr int DBTimeStamp = 135;
constexpr int VarChar = 200;
constexpr int LongVarChar = 201;
constexpr int VarWChar = 202;
constexpr int LongVarWChar = 203;
constexpr int VarBinary = 204;
constexpr int LongVarBinary = 205;
} // namespace adtype

// ADO SchemaEnum values that OpenSchema serves.
namespace adschema {
constexpr int Columns = 4;
constexpr int Tables = 20;
} // namespace adschema

// One record of a connection's Errors collection.
struct ProviderError {
    std::int32_t number = errnum::E_FAIL; // the ADO number (HRESULT)
    QString description;
    QString source;
    QString sqlState;
    std::int32_t nativeError = 0; // the server's own message number
    int severity = 16;            // SQL Server severity; 10 or less is informational
    // Added for sqlcmd-style output ("Msg n, Level s, State m, Line l"):
    int messageState = 1; // SQL Server's message state
    int line = 1;         // line of the batch the message refers to (0: unknown)
};

struct ExecutionResult;

// A failed engine operation: every diagnostic record, the first one first.
// The thrown Error carries the first record's number, description, source,
// SQL state and native number.
class ProviderFailure : public Error {
public:
    explicit ProviderFailure(std::vector<ProviderError> records);
    const std::vector<ProviderError>& records() const { return m_records; }

    // What the batch gave before and after its errors, for engines that keep
    // it (a console prints it as sqlcmd would); null otherwise.
    const ExecutionResult* partialResult() const { return m_partial.get(); }
    void setPartialResult(std::shared_ptr<const ExecutionResult> partial) {
        m_partial = std::move(partial);
    }

private:
    std::vector<ProviderError> m_records;
    std::shared_ptr<const ExecutionResult> m_partial;
};

struct ColumnInfo {
    QString name;
    int type = adtype::VarChar;
    std::int64_t definedSize = 0; // characters for text, bytes otherwise
    int precision = 0;
    int numericScale = 0;
    bool nullable = true;
    bool identity = false; // the server assigns the value on insert
    QString baseTable;     // where the column comes straight from a table
    QString baseColumn;
};

struct ResultSet {
    std::vector<ColumnInfo> columns;
    std::vector<std::vector<Variant>> rows;
};

// One thing a batch printed, in the order sqlcmd shows them.
struct BatchOutput {
    enum class Kind { ResultSet, Message, RowsAffected };
    Kind kind = Kind::Message;
    std::size_t resultSet = 0;     // ResultSet: its index in ExecutionResult::resultSets
    ProviderError message;         // Message: PRINT, RAISERROR or an error
    std::int64_t rowsAffected = 0; // RowsAffected: one statement's count
};

struct ExecutionResult {
    // Every result set the text produced, in order (a batch may give several;
    // Execute returns the first as its recordset).
    std::vector<ResultSet> resultSets;
    // ADO's RecordsAffected: -1 once the session ran SET NOCOUNT ON, or when
    // no statement reported a count.
    std::int64_t rowsAffected = -1;
    // Warnings that enter the Errors collection without failing the call.
    // Informational messages (severity 10 or less) never appear here.
    std::vector<ProviderError> warnings;
    // Result sets, messages and counts in the order the batch gave them, for
    // engines that keep it (empty otherwise).
    std::vector<BatchOutput> output;
};

// One open session on a database server: the embedded engine (a data folder
// of SQLite files speaking the suite's dialect) or an ODBC data source.
// Engines throw ProviderFailure for anything the server refuses.
class Engine {
public:
    virtual ~Engine() = default;

    // `connectionString` is the original's (SQLOLEDB, OraOLEDB, Jet, DSN=,
    // Driver=...); user and password given to Open override the string's.
    virtual void open(const QString& connectionString, const QString& user,
                      const QString& password) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Runs `text`, which may hold a whole batch. `parameters` bind to "?"
    // markers in order (used by recordset updates). `timeoutSeconds` 0 waits
    // for ever.
    virtual ExecutionResult execute(const QString& text, const std::vector<Variant>& parameters,
                                    int timeoutSeconds) = 0;

    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    virtual int transactionDepth() const = 0;

    virtual QString currentDatabase() const = 0;
    virtual void useDatabase(const QString& name) = 0;
    // ADO IsolationLevelEnum (256 read uncommitted, 4096 read committed, ...).
    virtual void setIsolationLevel(int adoLevel) = 0;

    // OpenSchema: adschema::Tables (TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME,
    // TABLE_TYPE) and adschema::Columns (TABLE_CATALOG, TABLE_SCHEMA,
    // TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION, DATA_TYPE, ...), filtered by
    // the restrictions in that order (Empty: no restriction; names compared
    // ignoring case).
    virtual ResultSet openSchema(int schema, const std::vector<Variant>& restrictions) = 0;

    // What editable recordsets need to write a row back.
    virtual QStringList primaryKeyColumns(const QString& table) = 0;
    // The identity value of the last row this session inserted (Null if none).
    virtual Variant lastIdentity() = 0;
    // How the engine quotes a table or column name in statements it is given.
    virtual QString quoteIdentifier(const QString& name) const = 0;

    // The login the session runs as (SYSTEM_USER).
    virtual QString userName() const = 0;

    // Added by the layer: ADO's ConnectionTimeout, given before open()
    // (seconds, 0 waits for ever). Engines that connect at once may ignore it.
    virtual void setLoginTimeout(int /*seconds*/) {}
};

} // namespace estaciones::db
