#include "platform/db/odbc/OdbcEngine.h"

#include "platform/db/AdoConstants.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/odbc/OdbcCall.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cstring>
#include <optional>

namespace estaciones::db::odbc {

namespace {

// ------------------------------------------------------------------ types

struct TypeMapping {
    int adoType;
    std::int64_t definedSize;
};

TypeMapping adoTypeFor(SQLSMALLINT sqlType, SQLULEN columnSize, SQLSMALLINT scale,
                       const QString& typeName) {
    const QString name = typeName.trimmed().toLower();
    if (name == QLatin1String("money") || name == QLatin1String("smallmoney")) {
        return {adtype::Currency, 8};
    }
    if (name == QLatin1String("bit")) {
        return {adtype::Boolean, 2};
    }
    // Drivers that report declared types by name (the SQLite driver).
    if (name.startsWith(QLatin1String("decimal")) || name.startsWith(QLatin1String("numeric"))) {
        return {adtype::Numeric, 19};
    }
    const auto size = static_cast<std::int64_t>(columnSize);
    switch (sqlType) {
    case SQL_CHAR:
        return {adtype::Char, size};
    case SQL_VARCHAR:
        return {adtype::VarChar, size};
    case SQL_LONGVARCHAR:
        return {adtype::LongVarChar, size > 0 ? size : 2147483647};
    case SQL_WCHAR:
        return {adtype::WChar, size};
    case SQL_WVARCHAR:
        return {adtype::VarWChar, size};
    case SQL_WLONGVARCHAR:
        return {adtype::LongVarWChar, size > 0 ? size : 1073741823};
    case SQL_BIT:
        return {adtype::Boolean, 2};
    case SQL_TINYINT:
        return {adtype::UnsignedTinyInt, 1};
    case SQL_SMALLINT:
        return {adtype::SmallInt, 2};
    case SQL_INTEGER:
        return {adtype::Integer, 4};
    case SQL_BIGINT:
        return {adtype::BigInt, 8};
    case SQL_REAL:
        return {adtype::Single, 4};
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return {adtype::Double, 8};
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        (void)scale;
        return {adtype::Numeric, 19};
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return {adtype::DBDate, 6};
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return {adtype::DBTime, 6};
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return {adtype::DBTimeStamp, 16};
    case SQL_BINARY:
        return {adtype::Binary, size};
    case SQL_VARBINARY:
        return {adtype::VarBinary, size};
    case SQL_LONGVARBINARY:
        return {adtype::LongVarBinary, size > 0 ? size : 2147483647};
    case SQL_GUID:
        return {adtype::Guid, 16};
    default:
        break;
    }
    return {adtype::VarChar, size};
}

enum class Fetch { Text, Integer, Boolean, Double, Currency, Decimal, Date, Binary };

Fetch fetchKindFor(int adoType, int scale) {
    switch (adoType) {
    case adtype::Boolean:
        return Fetch::Boolean;
    case adtype::TinyInt:
    case adtype::UnsignedTinyInt:
    case adtype::SmallInt:
    case adtype::Integer:
    case adtype::BigInt:
        return Fetch::Integer;
    case adtype::Single:
    case adtype::Double:
        return Fetch::Double;
    case adtype::Currency:
        return Fetch::Currency;
    case adtype::Numeric:
    case adtype::Decimal:
        return scale == 0 ? Fetch::Decimal : Fetch::Double;
    case adtype::DBDate:
    case adtype::DBTime:
    case adtype::DBTimeStamp:
        return Fetch::Date;
    case adtype::Binary:
    case adtype::VarBinary:
    case adtype::LongVarBinary:
        return Fetch::Binary;
    default:
        return Fetch::Text;
    }
}

// "2024-01-02 03:04:05.123", "2024-01-02", "2024-01-02T03:04", "03:04:05":
// the forms drivers give. Parsed by hand: QDateTime::fromString costs
// microseconds per try, which a 366-row result pays per row.
std::optional<DateTimeValue> parseDate(const QString& text) {
    const QString t = text.trimmed();
    qsizetype pos = 0;
    auto number = [&](int digits, int& out) {
        if (pos + digits > t.size()) {
            return false;
        }
        int value = 0;
        for (int i = 0; i < digits; ++i) {
            const QChar c = t[pos + i];
            if (!c.isDigit()) {
                return false;
            }
            value = value * 10 + c.digitValue();
        }
        out = value;
        pos += digits;
        return true;
    };
    auto expect = [&](char c) {
        if (pos < t.size() && t[pos] == QLatin1Char(c)) {
            ++pos;
            return true;
        }
        return false;
    };
    auto parseTime = [&](QTime& time) {
        int h = 0;
        int m = 0;
        int sec = 0;
        int ms = 0;
        if (!number(2, h) || !expect(':') || !number(2, m)) {
            return false;
        }
        if (expect(':')) {
            if (!number(2, sec)) {
                return false;
            }
            if (expect('.')) {
                int digits = 0;
                while (pos < t.size() && t[pos].isDigit()) {
                    if (digits < 3) {
                        ms = ms * 10 + t[pos].digitValue();
                    }
                    ++digits;
                    ++pos;
                }
                for (; digits < 3; ++digits) {
                    ms *= 10;
                }
            }
        }
        time = QTime(h, m, sec, ms);
        return time.isValid();
    };
    int y = 0;
    int mo = 0;
    int d = 0;
    if (number(4, y) && expect('-') && number(2, mo) && expect('-') && number(2, d)) {
        const QDate date(y, mo, d);
        if (!date.isValid()) {
            return std::nullopt;
        }
        QTime time(0, 0);
        if (pos < t.size()) {
            if (!(expect(' ') || expect('T')) || !parseTime(time)) {
                return std::nullopt;
            }
        }
        if (pos != t.size()) {
            return std::nullopt;
        }
        return DateTimeValue{date, time};
    }
    pos = 0;
    QTime time;
    if (parseTime(time) && pos == t.size()) {
        return DateTimeValue{QDate(1899, 12, 30), time};
    }
    return std::nullopt;
}

// Statement splitting for SQLite drivers that run only the first statement
// of a text: sqlite3_complete tells where a statement ends (triggers,
// strings and comments included).
QStringList splitSqliteStatements(const QString& text) {
    QStringList statements;
    const QByteArray utf8 = text.toUtf8();
    qsizetype start = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != ';') {
            continue;
        }
        const QByteArray candidate = utf8.mid(start, i - start + 1);
        if (sqlite3_complete(candidate.constData())) {
            const QString statement = QString::fromUtf8(candidate).trimmed();
            if (statement != QLatin1String(";")) {
                statements << statement;
            }
            start = i + 1;
        }
    }
    const QString rest = QString::fromUtf8(utf8.mid(start)).trimmed();
    if (!rest.isEmpty()) {
        statements << rest;
    }
    return statements;
}

bool matchesRestriction(const Variant& restriction, const QString& value) {
    if (restriction.isEmpty() || restriction.isNull()) {
        return true;
    }
    return restriction.toString().trimmed().compare(value.trimmed(), Qt::CaseInsensitive) == 0;
}

ColumnInfo column(const char* name, int type, std::int64_t size = 0) {
    ColumnInfo c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.definedSize = size;
    return c;
}

// ------------------------------------------------------------------ engine

class OdbcEngine final : public Engine {
public:
    OdbcEngine() = default;
    ~OdbcEngine() override { close(); }

    void open(const QString& connectionString, const QString& user,
              const QString& password) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    ExecutionResult execute(const QString& text, const std::vector<Variant>& parameters,
                            int timeoutSeconds) override;
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    int transactionDepth() const override { return m_depth; }
    QString currentDatabase() const override;
    void useDatabase(const QString& name) override;
    void setIsolationLevel(int adoLevel) override;
    ResultSet openSchema(int schema, const std::vector<Variant>& restrictions) override;
    QStringList primaryKeyColumns(const QString& table) override;
    Variant lastIdentity() override;
    QString quoteIdentifier(const QString& name) const override;
    QString userName() const override { return m_user; }
    void setLoginTimeout(int seconds) override { m_loginTimeout = seconds; }

private:
    void requireOpen() const;
    Handle newStatement(int timeoutSeconds);
    ResultSet readResult(const Handle& stmt, Diagnostics& diagnostics);
    std::vector<ColumnInfo> describe(const Handle& stmt);
    ExecutionResult runOne(const QString& text, const std::vector<Variant>& parameters,
                           int timeoutSeconds);
    void endTransaction(SQLSMALLINT completion);
    QString infoText(SQLUSMALLINT info) const;
    [[noreturn]] void fail(const QString& sqlState, std::int32_t number, const QString& description,
                           std::int32_t native = 0) const;

    Handle m_env;
    Handle m_dbc;
    bool m_open = false;
    DiagnosticContext m_context;
    Backend m_backend = Backend::Generic;
    bool m_sqlite = false;
    QString m_database;
    QString m_user;
    int m_depth = 0;
    int m_loginTimeout = 15;
};

// What the operator reads when the driver a connection needs is not there.
QString missingDriverText(const QString& driver, Backend backend) {
    const QString missing =
        QStringLiteral("No está instalado el controlador ODBC \"%1\" que necesita esta conexión. ")
            .arg(driver);
    switch (backend) {
    case Backend::Oracle:
        return missing +
               QStringLiteral("Instale el controlador ODBC de Oracle para Linux (Oracle Instant "
                              "Client ODBC), regístrelo en /etc/odbcinst.ini e indique su nombre "
                              "en ESTACIONES_ORACLE_DRIVER si no es \"Oracle\". Vea la guía de "
                              "administración.");
    case Backend::Jet:
        return missing + QStringLiteral("Instale el paquete odbc-mdbtools (controlador "
                                        "\"MDBTools\", sólo lectura) o indique el nombre "
                                        "registrado en ESTACIONES_MDB_DRIVER. Vea la guía de "
                                        "administración.");
    case Backend::SqlServer:
        return missing +
               QStringLiteral("Instale el paquete tdsodbc (controlador \"FreeTDS\") o "
                              "indique el nombre registrado en "
                              "ESTACIONES_FREETDS_DRIVER. Vea la guía de administración.");
    case Backend::Generic:
        break;
    }
    return missing + QStringLiteral("Los controladores instalados se listan con \"odbcinst -q "
                                    "-d\".");
}

void OdbcEngine::fail(const QString& sqlState, std::int32_t number, const QString& description,
                      std::int32_t native) const {
    ProviderError record;
    record.number = number;
    record.description = description;
    record.sqlState = sqlState;
    record.nativeError = native;
    record.source = m_backend == Backend::Jet
                        ? QStringLiteral("Microsoft JET Database Engine")
                        : QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");
    throw ProviderFailure({record});
}

void OdbcEngine::requireOpen() const {
    if (!m_open) {
        throw standardError(errnum::ConnectionUnusable, QStringLiteral("ADODB.Connection"));
    }
}

QString OdbcEngine::infoText(SQLUSMALLINT info) const {
    SQLWCHAR buffer[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(m_dbc.get(), info, buffer, sizeof(buffer), &length))) {
        return {};
    }
    return fromWide(buffer,
                    std::min<qsizetype>(length / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)), 255));
}

void OdbcEngine::open(const QString& connectionString, const QString& user,
                      const QString& password) {
    close();
    const MappedConnection mapped =
        mapConnectionString(connectionString, user, password, OdbcSettings::fromEnvironment());
    m_backend = mapped.backend;
    m_context.backend = mapped.backend;
    m_context.password = password;
    if (m_context.password.isEmpty()) {
        const ConnectionString cs(mapped.odbcString);
        m_context.password = cs.firstOf({"PWD", "Password"}).value_or(QString());
    }

    if (mapped.backend == Backend::Jet) {
        // Jet's own states, which OpenLocalADODB tests.
        QString path = mapped.jetFile;
        const QFileInfo file(path);
        if (path.isEmpty() || !file.absoluteDir().exists()) {
            fail(QStringLiteral("3044"), errnum::E_FAIL,
                 QStringLiteral("'%1' is not a valid path.  Make sure that the path name is "
                                "spelled correctly and "
                                "that you are connected to the server on which the file resides.")
                     .arg(file.absolutePath()));
        }
        if (!file.exists() || file.isDir()) {
            fail(QStringLiteral("3024"), errnum::E_FAIL,
                 QStringLiteral("Could not find file '%1'.").arg(path));
        }
    }

    m_env = Handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    check(SQLSetEnvAttr(m_env.get(), SQL_ATTR_ODBC_VERSION,
                        reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          m_env, m_context);
    m_dbc = Handle(SQL_HANDLE_DBC, m_env.get());
    SQLSetConnectAttrW(
        m_dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(m_loginTimeout, 0))), 0);

    const QString odbcText = mapped.odbcString;
    // Without its driver a connection cannot work: say which driver, now,
    // rather than the driver manager's "data source name not found".
    const QString driver = ConnectionString(odbcText).value(QStringLiteral("Driver"), QString());
    if (!driver.trimmed().isEmpty() && !isDriverInstalled(m_env, driver)) {
        const QString description = missingDriverText(driver, mapped.backend);
        m_dbc.reset();
        m_env.reset();
        fail(QStringLiteral("IM002"), errnum::E_FAIL, description);
    }
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(m_dbc.get(), nullptr, wide(odbcText),
                                           static_cast<SQLSMALLINT>(odbcText.size()), out, 1024,
                                           &outLength, SQL_DRIVER_NOPROMPT);
    Diagnostics diagnostics(m_context);
    diagnostics.take(rc, m_dbc);
    if (!SQL_SUCCEEDED(rc)) {
        if (m_backend == Backend::Jet) {
            const QString text = diagnostics.records().empty()
                                     ? QString()
                                     : diagnostics.records().front().description;
            if (text.contains(QLatin1String("password"), Qt::CaseInsensitive)) {
                fail(QStringLiteral("3031"), errnum::E_FAIL,
                     QStringLiteral("Not a valid password."));
            }
            fail(QStringLiteral("3051"), errnum::E_FAIL,
                 QStringLiteral(
                     "The Microsoft Jet database engine cannot open the file '%1'.  It is already "
                     "opened exclusively by another user, or you need permission to view its data.")
                     .arg(mapped.jetFile));
        }
        m_dbc.reset();
        m_env.reset();
        diagnostics.raise();
    }
    m_dbc.setConnected(true);
    m_open = true;
    m_depth = 0;
    m_user = user.isEmpty() ? ConnectionString(mapped.odbcString)
                                  .firstOf({"UID", "User Id", "User"})
                                  .value_or(QString())
                            : user;

    const QString dbms = infoText(SQL_DBMS_NAME);
    if (dbms.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive)) {
        m_backend = Backend::SqlServer;
        m_context.backend = Backend::SqlServer;
    }
    m_sqlite = dbms.contains(QLatin1String("SQLite"), Qt::CaseInsensitive);
    m_database = mapped.database;
    if (m_backend == Backend::SqlServer) {
        // 'd/m/yyyy' literals read day-month-year, as the suite writes them.
        execute(QStringLiteral("SET DATEFORMAT dmy"), {}, 30);
    }
}

void OdbcEngine::close() {
    if (m_open && m_depth > 0) {
        SQLEndTran(SQL_HANDLE_DBC, m_dbc.get(), SQL_ROLLBACK);
    }
    m_dbc.reset();
    m_env.reset();
    m_open = false;
    m_depth = 0;
}

Handle OdbcEngine::newStatement(int timeoutSeconds) {
    Handle stmt(SQL_HANDLE_STMT, m_dbc.get());
    if (timeoutSeconds > 0) {
        // Drivers that cannot time out say so with a warning; that is fine.
        SQLSetStmtAttrW(stmt.get(), SQL_ATTR_QUERY_TIMEOUT,
                        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
    }
    return stmt;
}

std::vector<ColumnInfo> OdbcEngine::describe(const Handle& stmt) {
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt.get(), &count);
    std::vector<ColumnInfo> columns;
    columns.reserve(static_cast<size_t>(count));
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
        SQLWCHAR name[512] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT scale = 0;
        SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
        check(SQLDescribeColW(stmt.get(), i, name, 512, &nameLength, &sqlType, &size, &scale,
                              &nullable),
              stmt, m_context);
        auto textAttribute = [&](SQLUSMALLINT field) {
            SQLWCHAR buffer[512] = {};
            SQLSMALLINT length = 0;
            if (!SQL_SUCCEEDED(SQLColAttributeW(stmt.get(), i, field, buffer, sizeof(buffer),
                                                &length, nullptr))) {
                return QString();
            }
            return fromWide(buffer, std::min<qsizetype>(
                                        length / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)), 511));
        };
        auto numberAttribute = [&](SQLUSMALLINT field) {
            SQLLEN value = 0;
            if (!SQL_SUCCEEDED(
                    SQLColAttributeW(stmt.get(), i, field, nullptr, 0, nullptr, &value))) {
                return SQLLEN(0);
            }
            return value;
        };
        ColumnInfo c;
        c.name = fromWide(name, std::min<qsizetype>(nameLength, 511));
        const QString typeName = textAttribute(SQL_DESC_TYPE_NAME);
        const TypeMapping mapping = adoTypeFor(sqlType, size, scale, typeName);
        c.type = mapping.adoType;
        c.definedSize = mapping.definedSize;
        c.precision =
            (sqlType == SQL_DECIMAL || sqlType == SQL_NUMERIC) ? static_cast<int>(size) : 0;
        c.numericScale = scale;
        if (c.type == adtype::Numeric && c.precision == 0) {
            // "decimal(10,2)" given by name only.
            static const QRegularExpression digits(
                QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\)"));
            const QRegularExpressionMatch m = digits.match(typeName);
            if (m.hasMatch()) {
                c.precision = m.captured(1).toInt();
                c.numericScale = m.captured(2).toInt();
            } else {
                c.precision = 18;
            }
        }
        c.nullable = nullable != SQL_NO_NULLS;
        c.identity = numberAttribute(SQL_DESC_AUTO_UNIQUE_VALUE) == SQL_TRUE;
        c.baseTable = textAttribute(SQL_DESC_BASE_TABLE_NAME);
        if (c.baseTable.isEmpty()) {
            c.baseTable = textAttribute(SQL_DESC_TABLE_NAME);
        }
        c.baseColumn = textAttribute(SQL_DESC_BASE_COLUMN_NAME);
        if (c.baseTable.isEmpty()) {
            c.baseColumn.clear();
        }
        columns.push_back(std::move(c));
    }
    return columns;
}

ResultSet OdbcEngine::readResult(const Handle& stmt, Diagnostics& diagnostics) {
    ResultSet result;
    result.columns = describe(stmt);
    std::vector<Fetch> kinds;
    for (const ColumnInfo& c : result.columns) {
        kinds.push_back(fetchKindFor(c.type, c.numericScale));
    }
    std::vector<SQLWCHAR> buffer(4096);
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (!diagnostics.take(rc, stmt)) {
            break;
        }
        std::vector<Variant> row;
        row.reserve(result.columns.size());
        for (size_t i = 0; i < result.columns.size(); ++i) {
            const auto column = static_cast<SQLUSMALLINT>(i + 1);
            SQLLEN indicator = 0;
            switch (kinds[i]) {
            case Fetch::Integer:
            case Fetch::Boolean: {
                SQLBIGINT value = 0;
                const SQLRETURN r = SQLGetData(stmt.get(), column, SQL_C_SBIGINT, &value,
                                               sizeof(value), &indicator);
                if (!diagnostics.take(r, stmt) || indicator == SQL_NULL_DATA) {
                    row.push_back(Variant::null());
                } else if (kinds[i] == Fetch::Boolean) {
                    row.emplace_back(value != 0);
                } else {
                    row.emplace_back(static_cast<long long>(value));
                }
                continue;
            }
            case Fetch::Double: {
                double value = 0;
                const SQLRETURN r =
                    SQLGetData(stmt.get(), column, SQL_C_DOUBLE, &value, sizeof(value), &indicator);
                if (!diagnostics.take(r, stmt) || indicator == SQL_NULL_DATA) {
                    row.push_back(Variant::null());
                } else {
                    row.emplace_back(value);
                }
                continue;
            }
            case Fetch::Binary: {
                QByteArray bytes;
                std::vector<char> chunk(8192);
                for (;;) {
                    const SQLRETURN r = SQLGetData(stmt.get(), column, SQL_C_BINARY, chunk.data(),
                                                   static_cast<SQLLEN>(chunk.size()), &indicator);
                    if (r == SQL_NO_DATA || !diagnostics.take(r, stmt) ||
                        indicator == SQL_NULL_DATA) {
                        break;
                    }
                    const SQLLEN got =
                        (indicator == SQL_NO_TOTAL || indicator > static_cast<SQLLEN>(chunk.size()))
                            ? static_cast<SQLLEN>(chunk.size())
                            : indicator;
                    bytes.append(chunk.data(), got);
                    if (r == SQL_SUCCESS) {
                        break;
                    }
                }
                row.push_back(indicator == SQL_NULL_DATA ? Variant::null()
                                                         : Variant::fromBytes(bytes));
                continue;
            }
            default:
                break;
            }
            // Text, and the kinds read through text.
            QString text;
            bool isNull = false;
            for (;;) {
                const SQLRETURN r =
                    SQLGetData(stmt.get(), column, SQL_C_WCHAR, buffer.data(),
                               static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR)), &indicator);
                if (r == SQL_NO_DATA) {
                    break;
                }
                if (r == SQL_SUCCESS_WITH_INFO) {
                    // 01004: more to come; read the chunk and go on.
                    const qsizetype chars = buffer.size() - 1;
                    const qsizetype got =
                        (indicator == SQL_NO_TOTAL ||
                         indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)) >= chars)
                            ? chars
                            : indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR));
                    text += fromWide(buffer.data(), got);
                    continue;
                }
                if (!diagnostics.take(r, stmt)) {
                    break;
                }
                if (indicator == SQL_NULL_DATA) {
                    isNull = true;
                } else {
                    text +=
                        fromWide(buffer.data(), indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
                }
                break;
            }
            if (isNull) {
                row.push_back(Variant::null());
                continue;
            }
            switch (kinds[i]) {
            case Fetch::Currency: {
                bool ok = false;
                const double d = text.trimmed().toDouble(&ok);
                row.push_back(ok ? Variant(Currency::fromDouble(d)) : Variant(text));
                break;
            }
            case Fetch::Decimal: {
                bool ok = false;
                const qlonglong n = text.trimmed().toLongLong(&ok);
                if (ok) {
                    row.emplace_back(n);
                } else {
                    const double d = text.trimmed().toDouble(&ok);
                    row.push_back(ok ? Variant(d) : Variant(text));
                }
                break;
            }
            case Fetch::Date: {
                const auto date = parseDate(text);
                row.push_back(date ? Variant(*date) : Variant(text));
                break;
            }
            default:
                row.emplace_back(text);
                break;
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

ExecutionResult OdbcEngine::runOne(const QString& text, const std::vector<Variant>& parameters,
                                   int timeoutSeconds) {
    Handle stmt = newStatement(timeoutSeconds);
    Diagnostics diagnostics(m_context);
    SQLRETURN rc;

    // Parameter buffers live until the statement has run.
    struct Bound {
        SQLLEN indicator = 0;
        SQLBIGINT integer = 0;
        double real = 0;
        unsigned char bit = 0;
        SQL_TIMESTAMP_STRUCT timestamp{};
        QString text;
        QByteArray bytes;
    };
    std::vector<Bound> bound(parameters.size());
    if (!parameters.empty()) {
        rc = SQLPrepareW(stmt.get(), wide(text), static_cast<SQLINTEGER>(text.size()));
        diagnostics.take(rc, stmt);
        diagnostics.raiseIfErrors();
        for (size_t i = 0; i < parameters.size(); ++i) {
            const Variant& v = parameters[i];
            Bound& b = bound[i];
            const auto number = static_cast<SQLUSMALLINT>(i + 1);
            switch (v.type()) {
            case Variant::Type::Empty:
            case Variant::Type::Null:
                b.indicator = SQL_NULL_DATA;
                rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                      SQL_WVARCHAR, 1, 0, nullptr, 0, &b.indicator);
                break;
            case Variant::Type::Boolean:
                b.bit = v.toBool() ? 1 : 0;
                rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 1, 0,
                                      &b.bit, 0, &b.indicator);
                break;
            case Variant::Type::Integer:
                b.integer = v.toInt64();
                if (b.integer >= INT32_MIN && b.integer <= INT32_MAX) {
                    rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                                          SQL_INTEGER, 10, 0, &b.integer, 0, &b.indicator);
                } else {
                    rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                                          SQL_BIGINT, 19, 0, &b.integer, 0, &b.indicator);
                }
                break;
            case Variant::Type::Double:
                b.real = v.toDouble();
                rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE,
                                      15, 0, &b.real, 0, &b.indicator);
                break;
            case Variant::Type::Currency:
                b.text = v.toCurrency().toString();
                b.indicator = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
                rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_DECIMAL,
                                      19, 4, wide(b.text), b.indicator, &b.indicator);
                break;
            case Variant::Type::Date: {
                const DateTimeValue d = v.toDate();
                if (m_sqlite) {
                    // The SQLite driver keeps dates as text: write the form it reads back.
                    b.text = d.time == QTime(0, 0)
                                 ? d.date.toString(QStringLiteral("yyyy-MM-dd"))
                                 : d.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                    b.indicator = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
                    rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                          SQL_WVARCHAR, static_cast<SQLULEN>(b.text.size()), 0,
                                          wide(b.text), b.indicator, &b.indicator);
                    break;
                }
                b.timestamp.year = static_cast<SQLSMALLINT>(d.date.year());
                b.timestamp.month = static_cast<SQLUSMALLINT>(d.date.month());
                b.timestamp.day = static_cast<SQLUSMALLINT>(d.date.day());
                b.timestamp.hour = static_cast<SQLUSMALLINT>(d.time.hour());
                b.timestamp.minute = static_cast<SQLUSMALLINT>(d.time.minute());
                b.timestamp.second = static_cast<SQLUSMALLINT>(d.time.second());
                b.timestamp.fraction = static_cast<SQLUINTEGER>(d.time.msec()) * 1000000u;
                rc = SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP,
                                      SQL_TYPE_TIMESTAMP, 23, 3, &b.timestamp, 0, &b.indicator);
                break;
            }
            case Variant::Type::Bytes:
                b.bytes = v.toBytes();
                b.indicator = static_cast<SQLLEN>(b.bytes.size());
                rc = SQLBindParameter(
                    stmt.get(), number, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_VARBINARY,
                    static_cast<SQLULEN>(std::max<qsizetype>(b.bytes.size(), 1)), 0,
                    b.bytes.data(), b.indicator, &b.indicator);
                break;
            default:
                b.text = v.toString();
                b.indicator = static_cast<SQLLEN>(b.text.size() * sizeof(SQLWCHAR));
                rc =
                    SQLBindParameter(stmt.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                     static_cast<SQLULEN>(std::max<qsizetype>(b.text.size(), 1)), 0,
                                     wide(b.text), b.indicator, &b.indicator);
                break;
            }
            diagnostics.take(rc, stmt);
            diagnostics.raiseIfErrors();
        }
        rc = SQLExecute(stmt.get());
    } else {
        rc = SQLExecDirectW(stmt.get(), wide(text), static_cast<SQLINTEGER>(text.size()));
    }

    ExecutionResult result;
    bool counted = false;
    std::int64_t total = 0;
    // Every result of the batch, so that errors of later statements are seen.
    int errorsInARow = 0;
    for (bool first = true;; first = false) {
        const bool ok = diagnostics.take(rc, stmt);
        if (rc == SQL_ERROR) {
            if (++errorsInARow > 1000) {
                break; // a driver that never moves on
            }
        } else {
            errorsInARow = 0;
        }
        if (rc != SQL_NO_DATA && ok) {
            SQLSMALLINT columns = 0;
            SQLNumResultCols(stmt.get(), &columns);
            if (columns > 0) {
                result.resultSets.push_back(readResult(stmt, diagnostics));
            } else {
                SQLLEN rows = -1;
                if (SQL_SUCCEEDED(SQLRowCount(stmt.get(), &rows)) && rows >= 0) {
                    counted = true;
                    total += rows;
                }
            }
        } else if (rc == SQL_NO_DATA && first) {
            // ODBC 3: a searched UPDATE/DELETE that touched no row.
            SQLLEN rows = -1;
            if (SQL_SUCCEEDED(SQLRowCount(stmt.get(), &rows)) && rows >= 0) {
                counted = true;
                total += rows;
            }
        }
        rc = SQLMoreResults(stmt.get());
        if (rc == SQL_NO_DATA || rc == SQL_INVALID_HANDLE) {
            break;
        }
    }
    diagnostics.raiseIfErrors();
    result.rowsAffected = counted ? total : -1;
    result.warnings = diagnostics.warnings();
    return result;
}

ExecutionResult OdbcEngine::execute(const QString& text, const std::vector<Variant>& parameters,
                                    int timeoutSeconds) {
    requireOpen();
    if (!m_sqlite || !parameters.empty()) {
        return runOne(text, parameters, timeoutSeconds);
    }
    // The SQLite driver runs a whole text only with one result: run the
    // statements one by one and gather what they give.
    const QStringList statements = splitSqliteStatements(text);
    if (statements.size() <= 1) {
        return runOne(text, parameters, timeoutSeconds);
    }
    ExecutionResult total;
    bool counted = false;
    for (const QString& statement : statements) {
        ExecutionResult one = runOne(statement, {}, timeoutSeconds);
        for (ResultSet& rs : one.resultSets) {
            total.resultSets.push_back(std::move(rs));
        }
        if (one.rowsAffected >= 0) {
            total.rowsAffected = (counted ? total.rowsAffected : 0) + one.rowsAffected;
            counted = true;
        }
        total.warnings.insert(total.warnings.end(), one.warnings.begin(), one.warnings.end());
    }
    if (!counted) {
        total.rowsAffected = -1;
    }
    return total;
}

void OdbcEngine::beginTransaction() {
    requireOpen();
    if (m_depth > 0) {
        fail(QStringLiteral("25000"), static_cast<std::int32_t>(0x8004D013u),
             QStringLiteral("Only one transaction can be active on this session."));
    }
    check(SQLSetConnectAttrW(m_dbc.get(), SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
          m_dbc, m_context);
    m_depth = 1;
}

void OdbcEngine::endTransaction(SQLSMALLINT completion) {
    requireOpen();
    if (m_depth == 0) {
        fail(QStringLiteral("25000"), adoerr::NoTransaction,
             QStringLiteral("No transaction is active."));
    }
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_dbc.get(), completion);
    m_depth = 0;
    SQLSetConnectAttrW(m_dbc.get(), SQL_ATTR_AUTOCOMMIT,
                       reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    check(rc, m_dbc, m_context);
}

void OdbcEngine::commitTransaction() {
    endTransaction(SQL_COMMIT);
}

void OdbcEngine::rollbackTransaction() {
    endTransaction(SQL_ROLLBACK);
}

QString OdbcEngine::currentDatabase() const {
    if (!m_open) {
        return {};
    }
    SQLWCHAR buffer[512] = {};
    SQLINTEGER length = 0;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(m_dbc.get(), SQL_ATTR_CURRENT_CATALOG, buffer,
                                         sizeof(buffer), &length)) &&
        length > 0) {
        return fromWide(
            buffer, std::min<qsizetype>(length / static_cast<SQLINTEGER>(sizeof(SQLWCHAR)), 511));
    }
    return m_database;
}

void OdbcEngine::useDatabase(const QString& name) {
    requireOpen();
    if (m_backend == Backend::SqlServer) {
        execute(QStringLiteral("USE ") + quoteIdentifier(name), {}, 30);
        return;
    }
    const SQLRETURN rc =
        SQLSetConnectAttrW(m_dbc.get(), SQL_ATTR_CURRENT_CATALOG, wide(name),
                           static_cast<SQLINTEGER>(name.size() * sizeof(SQLWCHAR)));
    if (!SQL_SUCCEEDED(rc) && name.compare(currentDatabase(), Qt::CaseInsensitive) != 0) {
        // A single-database source (a file): only its own name is accepted.
        fail(QStringLiteral("08004"), errnum::E_FAIL,
             QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                 .arg(name),
             4060);
    }
}

void OdbcEngine::setIsolationLevel(int adoLevel) {
    requireOpen();
    SQLULEN level = SQL_TXN_READ_COMMITTED;
    QString text = QStringLiteral("READ COMMITTED");
    switch (adoLevel) {
    case adXactReadUncommitted:
        level = SQL_TXN_READ_UNCOMMITTED;
        text = QStringLiteral("READ UNCOMMITTED");
        break;
    case adXactRepeatableRead:
        level = SQL_TXN_REPEATABLE_READ;
        text = QStringLiteral("REPEATABLE READ");
        break;
    case adXactSerializable:
        level = SQL_TXN_SERIALIZABLE;
        text = QStringLiteral("SERIALIZABLE");
        break;
    default:
        break;
    }
    if (m_backend == Backend::SqlServer) {
        execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL ") + text, {}, 30);
        return;
    }
    // Drivers with a single level (SQLite's) refuse others; that is no error here.
    SQLSetConnectAttrW(m_dbc.get(), SQL_ATTR_TXN_ISOLATION, reinterpret_cast<SQLPOINTER>(level), 0);
}

ResultSet OdbcEngine::openSchema(int schema, const std::vector<Variant>& restrictions) {
    requireOpen();
    auto restriction = [&](size_t i) {
        return i < restrictions.size() ? restrictions[i] : Variant();
    };
    const QString current = currentDatabase();
    auto catalogMatches = [&](const Variant& wanted, const QString& catalog) {
        // Single-file sources report no catalogue: the current database then.
        return matchesRestriction(wanted, catalog) ||
               (catalog.isEmpty() && matchesRestriction(wanted, current)) ||
               (catalog.isEmpty() && m_sqlite);
    };
    if (schema != adschema::Tables && schema != adschema::Columns) {
        throw Error(
            adoerr::NotSupported,
            QStringLiteral("Object or provider is not capable of performing requested operation."),
            QStringLiteral("ADODB.Connection"));
    }
    Handle stmt = newStatement(0);
    ResultSet out;
    Diagnostics diagnostics(m_context);
    if (schema == adschema::Tables) {
        static const QString all = QStringLiteral("%");
        diagnostics.take(
            SQLTablesW(stmt.get(), nullptr, 0, nullptr, 0, wide(all), SQL_NTS, nullptr, 0), stmt);
        diagnostics.raiseIfErrors();
        const ResultSet rows = readResult(stmt, diagnostics);
        diagnostics.raiseIfErrors();
        out.columns = {column("TABLE_CATALOG", adtype::VarWChar, 128),
                       column("TABLE_SCHEMA", adtype::VarWChar, 128),
                       column("TABLE_NAME", adtype::VarWChar, 128),
                       column("TABLE_TYPE", adtype::VarWChar, 128),
                       column("DESCRIPTION", adtype::VarWChar, 255)};
        for (const auto& r : rows.rows) {
            const QString catalog = r.size() > 0 ? r[0].toString() : QString();
            const QString owner = r.size() > 1 ? r[1].toString() : QString();
            const QString table = r.size() > 2 ? r[2].toString() : QString();
            const QString type = r.size() > 3 ? r[3].toString() : QString();
            if (!catalogMatches(restriction(0), catalog) ||
                !matchesRestriction(restriction(1), owner) ||
                !matchesRestriction(restriction(2), table) ||
                !matchesRestriction(restriction(3), type)) {
                continue;
            }
            out.rows.push_back({r.size() > 0 ? r[0] : Variant::null(),
                                r.size() > 1 ? r[1] : Variant::null(), Variant(table),
                                Variant(type), r.size() > 4 ? r[4] : Variant::null()});
        }
        return out;
    }
    // Columns: read every column of the matching tables, filter here (names ignore case).
    diagnostics.take(SQLColumnsW(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), stmt);
    ResultSet rows;
    if (!diagnostics.hasErrors()) {
        rows = readResult(stmt, diagnostics);
    }
    if (diagnostics.hasErrors()) {
        // Drivers that need a table name (the SQLite driver): ask per table.
        const ResultSet tables =
            openSchema(adschema::Tables, {restriction(0), restriction(1), restriction(2)});
        Diagnostics again(m_context);
        rows = ResultSet{};
        for (const auto& t : tables.rows) {
            Handle perTable = newStatement(0);
            const QString name = t[2].toString();
            again.take(SQLColumnsW(perTable.get(), nullptr, 0, nullptr, 0, wide(name), SQL_NTS,
                                   nullptr, 0),
                       perTable);
            again.raiseIfErrors();
            ResultSet part = readResult(perTable, again);
            again.raiseIfErrors();
            if (rows.columns.empty()) {
                rows.columns = part.columns;
            }
            for (auto& row : part.rows) {
                rows.rows.push_back(std::move(row));
            }
        }
    }
    out.columns = {column("TABLE_CATALOG", adtype::VarWChar, 128),
                   column("TABLE_SCHEMA", adtype::VarWChar, 128),
                   column("TABLE_NAME", adtype::VarWChar, 128),
                   column("COLUMN_NAME", adtype::VarWChar, 128),
                   column("ORDINAL_POSITION", adtype::Integer, 4),
                   column("COLUMN_HASDEFAULT", adtype::Boolean, 2),
                   column("COLUMN_DEFAULT", adtype::VarWChar, 255),
                   column("IS_NULLABLE", adtype::Boolean, 2),
                   column("DATA_TYPE", adtype::Integer, 4),
                   column("CHARACTER_MAXIMUM_LENGTH", adtype::Integer, 4),
                   column("NUMERIC_PRECISION", adtype::Integer, 4),
                   column("NUMERIC_SCALE", adtype::Integer, 4),
                   column("TYPE_NAME", adtype::VarWChar, 128)};
    int ordinal = 0;
    QString previousTable;
    for (const auto& r : rows.rows) {
        if (r.size() < 12) {
            continue;
        }
        const QString catalog = r[0].toString();
        const QString owner = r[1].toString();
        const QString table = r[2].toString();
        const QString name = r[3].toString();
        if (!catalogMatches(restriction(0), catalog) ||
            !matchesRestriction(restriction(1), owner) ||
            !matchesRestriction(restriction(2), table) ||
            !matchesRestriction(restriction(3), name)) {
            continue;
        }
        ordinal = table == previousTable ? ordinal + 1 : 1;
        previousTable = table;
        const auto sqlType = static_cast<SQLSMALLINT>(r[4].toInt32());
        const QString typeName = r[5].toString();
        const auto size = static_cast<SQLULEN>(std::max<std::int64_t>(r[6].toInt64(), 0));
        const auto scale = static_cast<SQLSMALLINT>(r[8].toInt32());
        const TypeMapping mapping = adoTypeFor(sqlType, size, scale, typeName);
        const bool text = mapping.adoType == adtype::Char || mapping.adoType == adtype::VarChar ||
                          mapping.adoType == adtype::WChar || mapping.adoType == adtype::VarWChar ||
                          mapping.adoType == adtype::LongVarChar ||
                          mapping.adoType == adtype::LongVarWChar;
        const Variant defaultValue = r.size() > 12 ? r[12] : Variant::null();
        const Variant position = r.size() > 16 && !r[16].isNull() ? r[16] : Variant(ordinal);
        out.rows.push_back(
            {r[0], r[1], Variant(table), Variant(name), Variant(position.toInt32()),
             Variant(!defaultValue.isNull()), defaultValue,
             Variant(r[10].toInt32() != SQL_NO_NULLS), Variant(mapping.adoType),
             text ? Variant(static_cast<long long>(mapping.definedSize)) : Variant::null(),
             text ? Variant::null() : Variant(static_cast<int>(size)),
             text ? Variant::null() : Variant(static_cast<int>(scale)), Variant(typeName)});
    }
    return out;
}

QStringList OdbcEngine::primaryKeyColumns(const QString& table) {
    requireOpen();
    Handle stmt = newStatement(0);
    Diagnostics diagnostics(m_context);
    const SQLRETURN rc = SQLPrimaryKeysW(stmt.get(), nullptr, 0, nullptr, 0, wide(table), SQL_NTS);
    if (!diagnostics.take(rc, stmt)) {
        return {}; // drivers without SQLPrimaryKeys (MDBTools): no key known
    }
    const ResultSet rows = readResult(stmt, diagnostics);
    std::vector<std::pair<int, QString>> keys;
    for (const auto& r : rows.rows) {
        if (r.size() >= 5) {
            keys.emplace_back(r[4].toInt32(), r[3].toString());
        }
    }
    std::sort(keys.begin(), keys.end());
    QStringList names;
    for (const auto& [sequence, name] : keys) {
        names << name;
    }
    return names;
}

Variant OdbcEngine::lastIdentity() {
    requireOpen();
    QString query;
    if (m_backend == Backend::SqlServer) {
        // What ADO's cursor engine asks: SCOPE_IDENTITY() would be Null in a new batch.
        query = QStringLiteral("SELECT @@IDENTITY");
    } else if (m_sqlite) {
        query = QStringLiteral("SELECT last_insert_rowid()");
    } else {
        return Variant::null();
    }
    const ExecutionResult result = runOne(query, {}, 30);
    if (result.resultSets.empty() || result.resultSets.front().rows.empty()) {
        return Variant::null();
    }
    Variant value = result.resultSets.front().rows.front().front();
    if (!value.isNull() && !value.isEmpty() && value.isNumeric()) {
        return Variant(static_cast<long long>(value.toInt64()));
    }
    return value;
}

QString OdbcEngine::quoteIdentifier(const QString& name) const {
    if (m_backend == Backend::SqlServer || m_backend == Backend::Jet) {
        return QLatin1Char('[') + QString(name).replace(QStringLiteral("]"), QStringLiteral("]]")) +
               QLatin1Char(']');
    }
    return QLatin1Char('"') + QString(name).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace

std::unique_ptr<Engine> createOdbcEngine() {
    return std::make_unique<OdbcEngine>();
}

} // namespace estaciones::db::odbc
