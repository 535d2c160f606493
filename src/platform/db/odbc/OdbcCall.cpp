#include "platform/db/odbc/OdbcCall.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace estaciones::db::odbc {

namespace {
// FreeTDS's SQL Server extensions of SQLGetDiagField (as in Microsoft's sqlncli.h).
constexpr SQLSMALLINT kDiagSsMsgState = -1150;
constexpr SQLSMALLINT kDiagSsSeverity = -1151;
constexpr SQLSMALLINT kDiagSsLine = -1154;

QString sourceFor(Backend backend) {
    switch (backend) {
    case Backend::SqlServer:
        return QStringLiteral("Microsoft OLE DB Provider for SQL Server");
    case Backend::Oracle:
        return QStringLiteral("OraOLEDB");
    case Backend::Jet:
        return QStringLiteral("Microsoft JET Database Engine");
    case Backend::Generic:
        break;
    }
    return QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");
}

// "[FreeTDS][SQL Server]Invalid object name 'x'." reads as SQLOLEDB gave it.
QString withoutVendorPrefix(const QString& message) {
    static const QRegularExpression prefix(QStringLiteral("^(\\[[^\\]]*\\])+\\s*"));
    return QString(message).remove(prefix);
}
} // namespace

bool isDriverInstalled(const Handle& environment, const QString& driver) {
    if (driver.contains(QLatin1Char('/'))) {
        return QFileInfo(driver).isFile();
    }
    SQLWCHAR description[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(environment.get(), direction, description, 512,
                                     &descriptionLength, attributes, 2048, &attributesLength))) {
        direction = SQL_FETCH_NEXT;
        const qsizetype length = std::min<qsizetype>(descriptionLength, 511);
        if (fromWide(description, length).compare(driver.trimmed(), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : m_type(type) {
    const SQLRETURN rc = SQLAllocHandle(type, parent, &m_handle);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        m_handle = SQL_NULL_HANDLE;
        ProviderError record;
        record.description =
            QStringLiteral("Could not allocate an ODBC handle (type %1).").arg(type);
        record.source = sourceFor(Backend::Generic);
        record.sqlState = QStringLiteral("HY001");
        throw ProviderFailure({record});
    }
}

Handle::~Handle() {
    reset();
}

Handle::Handle(Handle&& other) noexcept
    : m_type(other.m_type), m_handle(other.m_handle), m_connected(other.m_connected) {
    other.m_handle = SQL_NULL_HANDLE;
    other.m_connected = false;
}

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        reset();
        m_type = other.m_type;
        m_handle = other.m_handle;
        m_connected = other.m_connected;
        other.m_handle = SQL_NULL_HANDLE;
        other.m_connected = false;
    }
    return *this;
}

void Handle::reset() {
    if (m_handle == SQL_NULL_HANDLE) {
        return;
    }
    if (m_type == SQL_HANDLE_DBC && m_connected) {
        SQLDisconnect(m_handle);
    }
    SQLFreeHandle(m_type, m_handle);
    m_handle = SQL_NULL_HANDLE;
    m_connected = false;
}

std::vector<ProviderError> readDiagnostics(const Handle& handle, const DiagnosticContext& context) {
    std::vector<ProviderError> records;
    if (!handle) {
        return records;
    }
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLRETURN rc =
            SQLGetDiagRecW(handle.type(), handle.get(), i, state, &native, message.data(),
                           static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<size_t>(length) + 1);
            rc = SQLGetDiagRecW(handle.type(), handle.get(), i, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
            break;
        }
        ProviderError record;
        record.sqlState = fromWide(state, 5);
        record.nativeError = native;
        QString text = fromWide(message.data(), std::min<qsizetype>(length, message.size() - 1));
        if (context.backend != Backend::Generic) {
            text = withoutVendorPrefix(text);
        }
        if (context.password.size() >= 3) {
            text.replace(context.password, QStringLiteral("****"));
        }
        record.description = text;
        record.source = sourceFor(context.backend);
        record.severity = record.sqlState.startsWith(QLatin1String("01")) ? 10 : 16;
        SQLINTEGER value = 0;
        if (SQL_SUCCEEDED(SQLGetDiagFieldW(handle.type(), handle.get(), i, kDiagSsSeverity, &value,
                                           SQL_IS_INTEGER, nullptr)) &&
            value > 0) {
            record.severity = value;
        }
        value = 0;
        if (SQL_SUCCEEDED(SQLGetDiagFieldW(handle.type(), handle.get(), i, kDiagSsMsgState, &value,
                                           SQL_IS_INTEGER, nullptr)) &&
            value > 0) {
            record.messageState = value;
        }
        value = 0;
        if (SQL_SUCCEEDED(SQLGetDiagFieldW(handle.type(), handle.get(), i, kDiagSsLine, &value,
                                           SQL_IS_INTEGER, nullptr)) &&
            value > 0) {
            record.line = value;
        }
        record.number =
            isWarning(record) ? 0 : adoNumberFor(record.sqlState, native, text, context.backend);
        records.push_back(std::move(record));
        if (i > 200) {
            break; // a runaway driver
        }
    }
    return records;
}

bool isWarning(const ProviderError& record) {
    return record.sqlState.startsWith(QLatin1String("01"));
}

bool isInformational(const ProviderError& record, Backend backend) {
    if (!isWarning(record)) {
        return false;
    }
    if (record.nativeError == 5701 || record.nativeError == 5703 || record.nativeError == 5704) {
        return true;
    }
    if (backend == Backend::SqlServer) {
        // FreeTDS gives 01xxx only for severity 10 or less, PRINT included.
        return record.severity <= 10;
    }
    return record.sqlState == QLatin1String("01000");
}

std::int32_t adoNumberFor(const QString& sqlState, std::int32_t nativeError, const QString& message,
                          Backend backend) {
    if (backend == Backend::SqlServer) {
        switch (nativeError) {
        case 208: // invalid object name
            return errnum::NoSuchTable;
        case 2627: // unique/primary key
        case 2601: // duplicate key in unique index
        case 547:  // foreign key / check
        case 515:  // NULL into NOT NULL
            return errnum::IntegrityViolation;
        default:
            break;
        }
    }
    if (sqlState == QLatin1String("HYT00") || sqlState == QLatin1String("HYT01")) {
        return errnum::Timeout;
    }
    if (sqlState == QLatin1String("42S02")) {
        return errnum::NoSuchTable;
    }
    if (sqlState.startsWith(QLatin1String("23"))) {
        return errnum::IntegrityViolation;
    }
    if (sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("28"))) {
        return errnum::E_FAIL;
    }
    if (sqlState.startsWith(QLatin1String("42")) || sqlState == QLatin1String("37000")) {
        return errnum::CommandError;
    }
    if (backend == Backend::SqlServer) {
        // Server errors without their own state read as errors in the command.
        return nativeError > 0 && nativeError < 50000 ? errnum::CommandError : errnum::E_FAIL;
    }
    // Drivers that put everything under HY000 (the SQLite driver): the message says.
    if (message.contains(QLatin1String("no such table"), Qt::CaseInsensitive)) {
        return errnum::NoSuchTable;
    }
    if (message.contains(QLatin1String("constraint"), Qt::CaseInsensitive)) {
        return errnum::IntegrityViolation;
    }
    if (message.contains(QLatin1String("syntax error"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("no such column"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("no such function"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("already exists"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("incomplete input"), Qt::CaseInsensitive)) {
        return errnum::CommandError;
    }
    return errnum::E_FAIL;
}

bool Diagnostics::take(SQLRETURN rc, const Handle& handle) {
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA) {
        return true;
    }
    if (rc == SQL_INVALID_HANDLE) {
        ProviderError record;
        record.number = errnum::E_FAIL;
        record.description = QStringLiteral("Invalid ODBC handle.");
        record.source = sourceFor(m_context.backend);
        record.sqlState = QStringLiteral("HY000");
        m_records.push_back(record);
        m_hasErrors = true;
        return false;
    }
    std::vector<ProviderError> records = readDiagnostics(handle, m_context);
    const bool failed = rc == SQL_ERROR;
    bool sawError = false;
    for (ProviderError& r : records) {
        if (isInformational(r, m_context.backend)) {
            continue;
        }
        if (!isWarning(r)) {
            sawError = true;
        }
        m_records.push_back(std::move(r));
    }
    if (failed && !sawError) {
        ProviderError record;
        record.number = errnum::E_FAIL;
        record.description = QStringLiteral("Unspecified error");
        record.source = sourceFor(m_context.backend);
        record.sqlState = QStringLiteral("HY000");
        m_records.push_back(record);
        sawError = true;
    }
    m_hasErrors = m_hasErrors || failed || sawError;
    return !failed;
}

void Diagnostics::raise() const {
    std::vector<ProviderError> ordered;
    for (const ProviderError& r : m_records) {
        if (!isWarning(r)) {
            ordered.push_back(r);
        }
    }
    for (const ProviderError& r : m_records) {
        if (isWarning(r)) {
            ordered.push_back(r);
        }
    }
    throw ProviderFailure(std::move(ordered));
}

std::vector<ProviderError> Diagnostics::warnings() const {
    std::vector<ProviderError> result;
    for (const ProviderError& r : m_records) {
        if (isWarning(r)) {
            result.push_back(r);
        }
    }
    return result;
}

void check(SQLRETURN rc, const Handle& handle, const DiagnosticContext& context) {
    Diagnostics diagnostics(context);
    diagnostics.take(rc, handle);
    diagnostics.raiseIfErrors();
}

} // namespace estaciones::db::odbc
